// Undo and redo: a step through the document's history, named after the change.
#include "app/commands/command_groups.h"
#include "app/commands/command_ids.h"
#include "app/commands/command_ui.h"
#include "app/skedradoc.h"
#include "views/skedraView.h"

namespace {

bool textFieldHasKeys(const CommandContext& c) {
    return c.ui && c.ui->TextFieldHasFocus();
}

unsigned step(CommandContext& c, bool back) {
    VNode* folder = c.view ? c.view->Folder() : nullptr;
    if (!c.document->StepHistory(back, folder)) return CHANGED_NOTHING;
    if (c.view) {
        if (folder != c.view->Folder()) c.view->SetFolder(folder);
        c.view->Layout(nullptr); // no row may point at a node that went
    }
    return CHANGED_ITEMS;
}

std::string named(const char* verb, const std::string& change) {
    return change.empty() ? verb : std::string(verb) + " " + change;
}

} // namespace

std::vector<CommandEntry> HistoryCommands() {
    return {
        {CMD_UNDO, [](CommandContext& c) { return step(c, true); },
         [](const CommandContext& c) {
             return HasDocument(c) && c.document->History().CanUndo() && !textFieldHasKeys(c);
         },
         nullptr, nullptr,
         [](const CommandContext& c) {
             return named("Undo", c.document ? c.document->History().UndoName() : "");
         }},
        {CMD_REDO, [](CommandContext& c) { return step(c, false); },
         [](const CommandContext& c) {
             return HasDocument(c) && c.document->History().CanRedo() && !textFieldHasKeys(c);
         },
         nullptr, nullptr,
         [](const CommandContext& c) {
             return named("Redo", c.document ? c.document->History().RedoName() : "");
         }},
    };
}
