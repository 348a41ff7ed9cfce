// The program's own window commands: About, the user guide, the remote view's server dialog,
// printing without the dialog, the printer set-up, moving between the panes, Preferences and
// leaving.
#include "app/commands/command_groups.h"

#include "app/commands/command_ids.h"
#include "app/commands/command_ui.h"
#include "app/forms/dlg_prefs.h"

namespace {

template <void (CommandUI::*CALL)()> unsigned ask(CommandContext& c) {
    (c.ui->*CALL)();
    return CHANGED_NOTHING;
}

// The new date format shows at the next paint: nothing is redrawn here.
unsigned preferences(CommandContext& c) {
    return RunPreferences(*c.document) ? CHANGED_SETTINGS : CHANGED_NOTHING;
}

} // namespace

std::vector<CommandEntry> ProgramCommands() {
    return {
        {CMD_ABOUT, ask<&CommandUI::ShowAbout>, HasUI},
        {CMD_REMOTE_VIEW, ask<&CommandUI::ShowRemoteView>, HasUI},
        {CMD_PRINT_DIRECT, ask<&CommandUI::PrintDirect>, HasUI},
        {CMD_PRINT_SETUP, ask<&CommandUI::PrintSetup>, HasUI},
        {CMD_NEXT_PANE, ask<&CommandUI::SwitchPane>, HasUI},
        {CMD_PREVIOUS_PANE, ask<&CommandUI::SwitchPane>, HasUI},
        {CMD_EXIT, ask<&CommandUI::Exit>, HasUI},
        // F1 and "Getting started" open the guide that comes with the program.
        {CMD_HELP_KEY, ask<&CommandUI::ShowUserGuide>, HasUI},
        {CMD_GETTING_STARTED, ask<&CommandUI::ShowUserGuide>, HasUI},
        {CMD_PREFERENCES, preferences, HasDocument},
    };
}
