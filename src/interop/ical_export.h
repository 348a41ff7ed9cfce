// The document's items as one iCalendar calendar (RFC 5545), written through libical.
#pragma once

#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

class VCollection;
class VNode;

struct IcsExport {
    std::string text;       // the VCALENDAR, UTF-8 with CR LF line ends
    int items = 0;          // VTODOs written
    int newIdentities = 0;  // items that got their UID now: the document changed and
                            // should be saved to keep them
    bool abandoned = false; // stopped early on the caller's word: the text is no calendar
};

// Writes the exportable items among the nodes (actions, to-dos, calls, mails and pays;
// folders, contacts and reference items are left out). calendarName becomes
// X-WR-CALNAME when not empty (UTF-8). `abandon`, when given, is asked between items; once
// it answers true the export ends there (a server that stops does not wait for the rest).
IcsExport ExportICalendar(VCollection& collection, const std::vector<VNode*>& nodes,
                          const std::string& calendarName,
                          const std::function<bool()>& abandon = {});
// The calendar's name: the folder's title, or for the top folder the document's file
// name without its folder and extension (UTF-8).
std::string CalendarName(const VCollection& collection, const VNode* folder);
// Gives every exported kind among the nodes that has no UID its derived one (DeriveUids,
// over the whole document), kept in its extension record; answers the nodes given one.
// The export does this for its nodes; a caller that exports many nodes one at a time
// does it for all of them first.
std::unordered_set<const VNode*> GiveItemUids(VCollection& collection,
                                             const std::vector<VNode*>& nodes);
// Every node of the document after the top folder, in list order.
std::vector<VNode*> AllNodes(const VCollection& collection);
// The nodes of the folder's shown chain, as MakeView last built it.
std::vector<VNode*> ShownNodes(const VNode* folder);
