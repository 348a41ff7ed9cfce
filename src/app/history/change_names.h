// The name of a change that nothing named, read from what changed. A command's own name
// comes from its row of the command table (`CommandChangeName`).
#pragma once

#include <string>

class VCollection;
struct DocumentChange;

// The names of the changes commands make come from the command table, which sits above
// the history and gives them when the program starts; until then the name is empty.
void GiveCommandChangeNames(std::string (*names)(int command));
std::string CommandChangeNameOf(int command);

// A name for a change nothing named: "Add", "Delete", "Move to 'Work'" or "Change".
std::string DescribeChange(const DocumentChange& change, VCollection& collection);
