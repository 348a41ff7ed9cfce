// DlgFact and DlgURL: the forms of the "Fact" and "Location (file/directory/web)"
// dialogs: a one-line text and a multi-line description.
#pragma once

#include "app/forms/item_form.h"
#include "foundation/qstring.h"

class VFact;
class VURL;

class DlgFact : public ItemForm {
  public:
    explicit DlgFact(VFact& fact);
    void Store() override;

    qstring name;
    qstring description;

  private:
    VFact& fact;
};

class DlgURL : public ItemForm {
  public:
    explicit DlgURL(VURL& location);
    void Store() override;

    qstring url;
    qstring description;

  private:
    VURL& location;
};
