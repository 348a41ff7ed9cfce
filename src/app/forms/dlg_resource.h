// CDlgResource: the form of the contact dialog "Enter contact information".
#pragma once

#include "app/forms/item_form.h"
#include "foundation/qstring.h"

class VContact;

class CDlgResource : public ItemForm {
  public:
    explicit CDlgResource(VContact& contact);
    // A first name and initials are required; a missing one is named in an error box.
    FormOutcome Validate() override;
    // Writes the external bit and leaves the other bits of the contact's flags alone.
    void Store() override;

    qstring firstName;
    qstring lastName;
    qstring initials;
    qstring email;
    bool external;

  private:
    VContact& contact;
};
