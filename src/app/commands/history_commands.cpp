// Undo and redo: a step through the document's history, named after the change.
#include "app/commands/command_groups.h"
#include "app/commands/command_ui.h"
#include "app/skedradoc.h"
#include "platform/command_ids.h"
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
        {.id = CMD_UNDO,
         .run = [](CommandContext& c) { return step(c, true); },
         .enabled =
             [](const CommandContext& c) {
                 return HasDocument(c) && c.document->History().CanUndo() && !textFieldHasKeys(c);
             },
         .label =
             [](const CommandContext& c) {
                 return named("Undo", c.document ? c.document->History().UndoName() : "");
             },
         .caption = "Undo",
         .description = "Take back the last change to the document",
         .icon = "undo",
         .keys = {{.modifiers = KEY_CTRL, .letter = 'Z'},
                  {.modifiers = KEY_ALT, .key = NamedKey::Back}}},
        {.id = CMD_REDO,
         .run = [](CommandContext& c) { return step(c, false); },
         .enabled =
             [](const CommandContext& c) {
                 return HasDocument(c) && c.document->History().CanRedo() && !textFieldHasKeys(c);
             },
         .label =
             [](const CommandContext& c) {
                 return named("Redo", c.document ? c.document->History().RedoName() : "");
             },
         .caption = "Redo",
         .description = "Make the change taken back last again",
         .icon = "redo",
         .keys = {{.modifiers = KEY_CTRL, .letter = 'Y'},
                  {.modifiers = KEY_CTRL | KEY_SHIFT, .letter = 'Z'}}},
    };
}
