// DlgSyncAccount: the form of the "Sync Account" dialog: the document's calendar server
// (the URL of one calendar collection), the user name, the password and how often the
// window syncs by itself. The texts are UTF-8, as the server takes them, whatever the
// document's encoding. The password goes to the password store, never the document.
#pragma once

#include "app/forms/item_form.h"

#include <string>

class CSkedraDoc;
class PasswordStore;
class VCollection;

class DlgSyncAccount : public ItemForm {
  public:
    // A document without an account proposes this interval.
    static constexpr int PROPOSED_MINUTES = 15;

    // The password is looked up in `passwords` (none: the field starts empty).
    DlgSyncAccount(VCollection& collection, PasswordStore* passwords);
    // Checks the fields and keeps the password; stays open after telling what is wrong or
    // that the store refused it.
    FormOutcome Validate() override;
    // The account and the interval into the document.
    void Store() override;

    std::string url, user, password, minutes;

  private:
    VCollection& collection;
    PasswordStore* passwords;
    int checkedMinutes = 0;
};

// Sync > Account...: runs the dialog through the registered editor; true when the user
// ended it with OK.
bool RunSyncAccount(CSkedraDoc& document);
