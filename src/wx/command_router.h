// Sends every command of the menus, the ribbon, the quick-access buttons, the filter
// controls and the keys to the command table, the framework's own (New, Open, Save,
// Print...) to wx's document manager, and answers the update-UI events from the table.
#pragma once

#include "app/commands/command_table.h"

#include <functional>

class wxCommandEvent;
class wxDocManager;
class wxUpdateUIEvent;
class wxWindow;

class CommandRouter {
  public:
    // context: the document, views and services the commands act on, asked for anew
    // with every command.
    CommandRouter(wxWindow* window, wxDocManager* manager, std::function<CommandContext()> context);

    // The wx id a framework command has in the document manager, or 0.
    static int FrameworkId(int command);

  private:
    void onCommand(wxCommandEvent& event);
    void onUpdateUI(wxUpdateUIEvent& event);

    wxDocManager* manager;
    std::function<CommandContext()> context;
};
