// The names changes go by in the history ("Delete", "Move to 'Work'"): a command's own,
// or one read from what changed when nothing named it.
#pragma once

#include <string>

class VCollection;
struct DocumentChange;

// The name of the change a command makes, from its caption on the ribbon or in a menu
// ("&Edit...\tF2" gives "Edit"); empty for a command that has none.
std::string CommandChangeName(int command);

// A name for a change nothing named: "Add", "Delete", "Move to 'Work'" or "Change".
std::string DescribeChange(const DocumentChange& change, VCollection& collection);
