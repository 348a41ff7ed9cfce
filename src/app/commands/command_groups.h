// The groups the command table is made of, one file each.
#pragma once

#include "app/commands/command_table.h"
#include "views/skedraView.h"

#include <vector>

std::vector<CommandEntry> ViewCommands();     // mode, view flags, Gantt span, calendar
std::vector<CommandEntry> FilterCommands();   // the ribbon's filter and sort controls
std::vector<CommandEntry> FolderCommands();   // the current folder and the folder tree
std::vector<CommandEntry> ItemCommands();     // new items, edit, delete, waiting, activity
std::vector<CommandEntry> ScheduleCommands(); // reschedule and change durations
std::vector<CommandEntry> WebPageCommands();  // help and the product's web pages
std::vector<CommandEntry> ProgramCommands();  // About, printing, panes, exit
std::vector<CommandEntry> HistoryCommands();  // undo and redo
std::vector<CommandEntry> FileCommands();     // the framework's New, Open, Save, Print...
std::vector<CommandEntry> ICalendarCommands(); // iCalendar export and import
std::vector<CommandEntry> SyncCommands();      // the sync account and Sync now

// Helpers for the groups' conditions.
inline bool HasView(const CommandContext& c) {
    return c.view != nullptr;
}
inline bool HasDocument(const CommandContext& c) {
    return c.document != nullptr;
}
// Commands on the document's items need the item view and its document.
inline bool HasItemView(const CommandContext& c) {
    return c.view != nullptr && c.view->document != nullptr;
}
inline bool HasUI(const CommandContext& c) {
    return c.ui != nullptr;
}
