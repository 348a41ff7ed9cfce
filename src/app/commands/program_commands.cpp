// The program's own window commands: About, the user guide, the remote view's server dialog,
// printing without the dialog, the printer set-up, moving between the panes, Preferences and
// leaving.
#include "app/commands/command_groups.h"

#include "app/commands/command_ui.h"
#include "app/forms/dlg_prefs.h"
#include "platform/command_ids.h"

namespace {

template <void (CommandUI::*CALL)()> unsigned ask(CommandContext& c) {
    (c.ui->*CALL)();
    return CHANGED_NOTHING;
}

// The new date format shows at once: the end of every command that changed the settings
// redraws whatever view is shown.
unsigned preferences(CommandContext& c) {
    return RunPreferences(*c.document) ? CHANGED_SETTINGS : CHANGED_NOTHING;
}

} // namespace

std::vector<CommandEntry> ProgramCommands() {
    return {
        {.id = CMD_ABOUT,
         .run = ask<&CommandUI::ShowAbout>,
         .enabled = HasUI,
         .caption = "About",
         .icon = "information"},
        {.id = CMD_REMOTE_VIEW,
         .run = ask<&CommandUI::ShowRemoteView>,
         .enabled = HasUI,
         .caption = "Remote view",
         .icon = "go_dir_up"},
        {.id = CMD_PRINT_DIRECT,
         .run = ask<&CommandUI::PrintDirect>,
         .enabled = HasUI,
         .caption = "Quick Print",
         .description = "Send the document straight to the printer, without changes"},
        {.id = CMD_PRINT_SETUP,
         .run = ask<&CommandUI::PrintSetup>,
         .enabled = HasUI,
         .caption = "Print Setup",
         .description = "Change the printer and printing options"},
        {.id = CMD_NEXT_PANE,
         .run = ask<&CommandUI::SwitchPane>,
         .enabled = HasUI,
         .keys = {{.key = NamedKey::F6}}},
        {.id = CMD_PREVIOUS_PANE,
         .run = ask<&CommandUI::SwitchPane>,
         .enabled = HasUI,
         .keys = {{.modifiers = KEY_SHIFT, .key = NamedKey::F6}}},
        // F1 and "Getting started" open the guide that comes with the program.
        {.id = CMD_HELP_KEY,
         .run = ask<&CommandUI::ShowUserGuide>,
         .enabled = HasUI,
         .keys = {{.key = NamedKey::F1}}},
        {.id = CMD_GETTING_STARTED,
         .run = ask<&CommandUI::ShowUserGuide>,
         .enabled = HasUI,
         .caption = "Getting started",
         .icon = "guide"},
        {.id = CMD_EXIT, .run = ask<&CommandUI::Exit>, .enabled = HasUI, .caption = "Exit"},
        {.id = CMD_PREFERENCES,
         .run = preferences,
         .enabled = HasDocument,
         .caption = "Preferences",
         .icon = "executable_file"},
    };
}
