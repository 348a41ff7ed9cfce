// iCalendar export and import of the whole document, each with a file chooser. An
// import is one step of the undo history, as every command is.
#include "app/commands/command_groups.h"

#include "app/commands/command_ui.h"
#include "app/commands/item_changes.h"
#include "app/ical_files.h"
#include "app/skedraDoc.h"
#include "platform/command_ids.h"
#include "platform/ui.h"
#include "views/view_document.h"

namespace {

constexpr const char* ICS_FILES = "iCalendar files (*.ics)|*.ics|All files (*)|*";

bool canChoose(const CommandContext& c) {
    return HasItemView(c) && HasUI(c);
}

unsigned exportICalendar(CommandContext& c) {
    VCollection& collection = *c.view->document->Collection();
    // The calendar is named after the document, and so is its file.
    std::string name = CalendarName(collection, collection.root);
    std::string path = c.ui->ChooseFile(true, "Export iCalendar", ICS_FILES,
                                        (name.empty() ? "calendar" : name) + ".ics");
    if (path.empty()) return CHANGED_NOTHING;
    IcsExport exported;
    std::string message;
    bool written = ExportICalendarFile(collection, AllNodes(collection), name, path.c_str(),
                                       exported, message);
    ShowMessage(message.c_str(), PROGRAM_CAPTION, MsgButtons::OK,
                written ? MsgIcon::Information : MsgIcon::Error);
    if (!exported.newIdentities) return CHANGED_NOTHING;
    // The items' new UIDs are part of the document: saved, the next export repeats them.
    c.view->document->ItemsChanged();
    return CHANGED_ITEMS;
}

unsigned importICalendar(CommandContext& c) {
    std::string path = c.ui->ChooseFile(false, "Import iCalendar", ICS_FILES, "");
    if (path.empty()) return CHANGED_NOTHING;
    std::string message;
    IcsImport imported =
        ImportICalendarFile(*c.view->document->Collection(), path.c_str(), message);
    if (imported.ok) c.view->document->ActivityChanged(); // a new folder refills the tree
    ShowMessage(message.c_str(), PROGRAM_CAPTION, MsgButtons::OK,
                imported.ok ? MsgIcon::Information : MsgIcon::Error);
    return imported.ok ? CHANGED_ITEMS : CHANGED_NOTHING;
}

} // namespace

std::vector<CommandEntry> ICalendarCommands() {
    return {
        {.id = CMD_EXPORT_ICALENDAR,
         .run = exportICalendar,
         .enabled = canChoose,
         .caption = "iCalendar...",
         .description = "Save every item as an iCalendar file",
         .undoName = "Export iCalendar"},
        {.id = CMD_IMPORT_ICALENDAR,
         .run = importICalendar,
         .enabled = canChoose,
         .caption = "iCalendar...",
         .description = "Add the to-dos and events of an iCalendar file to the document",
         .undoName = "Import iCalendar"},
    };
}
