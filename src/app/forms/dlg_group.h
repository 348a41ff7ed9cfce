// DlgGroup: the form of the folder dialog "Folder properties": the name and the
// folder's default item type.
#pragma once

#include "app/forms/item_form.h"
#include "foundation/qstring.h"

#include <array>

class VGroup;

class DlgGroup : public ItemForm {
  public:
    // The "Default item type" choices; a choice's position is the stored type.
    static const std::array<const char*, 10> TYPE_CAPTIONS;

    explicit DlgGroup(VGroup& folder);
    void Store() override;

    qstring name;
    StoredChoice folderType;

  private:
    VGroup& folder;
};
