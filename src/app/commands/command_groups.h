// The groups the command table is made of, one file each.
#pragma once

#include "app/commands/command_table.h"

#include <vector>

std::vector<CommandEntry> ViewCommands();    // mode, view flags, Gantt span, calendar
std::vector<CommandEntry> FilterCommands();  // the ribbon's filter and sort controls
std::vector<CommandEntry> FolderCommands();  // the current folder and the folder tree
std::vector<CommandEntry> WebPageCommands(); // help and the product's web pages
std::vector<CommandEntry> ProgramCommands(); // About, printing, panes, exit

// Helpers for the groups' conditions.
inline bool HasView(const CommandContext& c) {
    return c.view != nullptr;
}
inline bool HasDocument(const CommandContext& c) {
    return c.document != nullptr;
}
inline bool HasUI(const CommandContext& c) {
    return c.ui != nullptr;
}
