// iCalendar files as the window's commands and the command line exchange them: the
// calendar's name, reading and writing the file, and what the user is told.
#pragma once

#include "interop/ical_export.h"
#include "interop/ical_import.h"

#include <string>
#include <vector>

class VCollection;
class VNode;

// Writes an export into the file, replaced in one step (QReplaceFile). False with the
// message when the file could not be written.
bool WriteICalendarFile(const IcsExport& exported, const char* path, std::string& message);

// Exports the nodes into the file, replaced in one step. False with the message when the
// file could not be written; the document may have new UIDs either way (newIdentities).
bool ExportICalendarFile(VCollection& collection, const std::vector<VNode*>& nodes,
                         const std::string& calendarName, const char* path, IcsExport& exported,
                         std::string& message);

// Imports the file (a regular file only). The message says what was imported, or why
// nothing was ("Nothing was imported." then, and the document is unchanged).
IcsImport ImportICalendarFile(VCollection& collection, const char* path, std::string& message);
