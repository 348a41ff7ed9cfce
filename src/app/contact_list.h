// The contacts of a document as the ribbon's "Hilite items of " list shows them.
#pragma once

#include <string>
#include <vector>

class VCollection;
class VContact;

// The document's contacts in the list's order (at most 1000).
std::vector<VContact*> ListedContacts(VCollection& collection);

// The list's entries: "<all contacts>" first, then each contact's first and last name.
std::vector<std::string> ContactListEntries(VCollection& collection);
