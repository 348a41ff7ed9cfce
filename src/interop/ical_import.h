// iCalendar files (RFC 5545) read through libical into the document: to-dos and events
// become actions (with dates) or to-dos (without), matched to earlier imports by UID.
#pragma once

#include <string>
#include <vector>

class VCollection;
class VNode;

struct IcsImport {
    bool ok = false;
    std::string error; // why nothing was imported, naming the line where reading stopped
    long line = 0;     // that line (1 = first), 0 when no single line is to blame
    int added = 0;
    int updated = 0;
    VNode* folder = nullptr; // where new items went
    // What was imported but cannot be followed, each naming its line: "line 12: ..."
    std::vector<std::string> notes;
};

// Reads the whole text first; only a file that reads without an error changes the
// document, and an import never deletes anything. New items go into the top-level folder
// named after the calendar (X-WR-CALNAME) or "Imported", made when missing.
IcsImport ImportICalendar(VCollection& collection, const std::string& bytes);
