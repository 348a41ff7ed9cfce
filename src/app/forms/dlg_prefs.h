// DlgPrefs: the form of the "Preferences" dialog, which chooses the collection's date
// format.
#pragma once

#include "app/forms/item_form.h"

#include <array>

class CSkedraDoc;
class VCollection;

class DlgPrefs : public ItemForm {
  public:
    // The "Date format" entries; an entry's position is the stored format.
    static const std::array<const char*, 3> DATE_FORMATS;

    explicit DlgPrefs(VCollection& collection);
    void Store() override;

    StoredChoice dateFormat;

  private:
    VCollection& collection;
};

// The Preferences command: runs the dialog through the registered editor and, on OK,
// keeps the chosen format in the settings for every collection to come.
bool RunPreferences(CSkedraDoc& document);
