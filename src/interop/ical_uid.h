// Identities of exported items. An item keeps its UID in its extension record once it has
// one; an item that has none yet gets one derived from the document, not a random one, so
// that the calendar feed, which hands UIDs out without ever saving the document, gives
// subscribers the same UIDs at every start (see DeriveUids).
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class VNode;

// A UID as it comes back from an export: libical leaves out of a text the control
// characters it cannot write (a form feed, a backspace, a carriage return), so an item
// keeps the UID its export gives it, and two that would export alike are one.
std::string UidAsWritten(const std::string& uid);

// A new random (version 4) UUID in its 36-character text form.
std::string NewUuid();
// A name-based UID: the same text always gives the same one ("vantry-" and 16
// hexadecimal digits).
std::string NameUid(std::string_view text);

// An item that needs a UID: what names it, and what else tells it apart from items named
// alike.
struct UidCandidate {
    const VNode* node;
    std::string name;    // the document, the folder's name, the kind and the item's text
    std::string details; // the item's other fields
};

// UIDs for the candidates (in the document's list order), none of them among the UIDs
// in use. What stays stable is what the user sees of an item, not where it stands: the
// order of the list is no identity, since every load reverses it and the newest node
// comes first, and node numbers follow that order. So an item's UID comes from its name
// alone (NameUid of it); only where several candidates share a name (twins: the same
// text and kind in folders of the same name) does it come from the name and the other
// fields, and where those are the same too, from a count among the twins. It stays the
// same across restarts, saves, and other items added, edited or removed; it changes when
// the item's own text, kind or folder's name changes (or a twin comes or goes beside an
// item named like no other) until the UID is kept: every export keeps the UIDs it hands
// out in the document, after which nothing changes them.
std::unordered_map<const VNode*, std::string> DeriveUids(
    const std::vector<UidCandidate>& candidates, std::unordered_set<std::string> inUse);
