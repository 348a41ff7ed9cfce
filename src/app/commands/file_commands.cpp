// The framework's own file and print commands. The window's document manager runs them
// (its New, Open, Save...); their rows say only how they show and which keys send them.
#include "app/commands/command_groups.h"

#include "platform/command_ids.h"

std::vector<CommandEntry> FileCommands() {
    return {
        {.id = CMD_FILE_NEW,
         .caption = "New",
         .icon = "new",
         .keys = {{.modifiers = KEY_CTRL, .letter = 'N'}}},
        {.id = CMD_FILE_OPEN,
         .caption = "Open",
         .icon = "file_open",
         .keys = {{.modifiers = KEY_CTRL, .letter = 'O'}}},
        {.id = CMD_FILE_SAVE,
         .caption = "Save",
         .icon = "file_save",
         .keys = {{.modifiers = KEY_CTRL, .letter = 'S'}}},
        {.id = CMD_FILE_SAVE_AS, .caption = "Save As"},
        {.id = CMD_PRINT,
         .caption = "Print",
         .description = "Select a printer, number of copies and other options before printing",
         .keys = {{.modifiers = KEY_CTRL, .letter = 'P'}}},
        {.id = CMD_PRINT_PREVIEW,
         .caption = "Print Preview",
         .description = "Preview and make changes to pages before printing",
         .icon = "print"},
        {.id = CMD_FILE_CLOSE, .caption = "Close"},
    };
}
