#include "app/contact_list.h"

#include "model/vcollection.h"
#include "model/vcontact.h"

namespace {
constexpr int MAX_CONTACTS = 1000;
}

std::vector<VContact*> ListedContacts(VCollection& collection) {
    std::vector<VContact*> contacts(MAX_CONTACTS);
    contacts.resize((size_t)collection.Contacts(contacts.data(), MAX_CONTACTS));
    return contacts;
}

std::vector<std::string> ContactListEntries(VCollection& collection) {
    std::vector<std::string> entries{"<all contacts>"};
    for (VContact* contact : ListedContacts(collection))
        entries.push_back(std::string(contact->firstName.Text()) + " " + contact->lastName.Text());
    return entries;
}
