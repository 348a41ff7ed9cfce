// A to-call, to-mail or to-pay item has no title of its own: its SUMMARY is its list text,
// made of its fields. A title edited in another calendar program is read back into those
// fields, so that it arrives here and the next export does not send the old one again.
#pragma once

#include <string>

class VCommItem;

// Sets the item's fields from its list text (in the document's encoding), by the kind's
// shape: "Call WHO (REASON) @ DETAIL", "WHO (REASON) @ DETAIL" (to-mail), "WHO (DETAIL acct
// ACCOUNT) - REASON" (to-pay; " @ DETAIL" and " acct ACCOUNT" only when there is one).
// Text of another shape becomes the reason, the other fields staying. The list text the
// item already has changes nothing.
void SetCommListText(VCommItem& item, const std::string& text);
