// The window services of the commands for tests: records what was asked of them, and
// says whether a text field has the keyboard.
#pragma once

#include "app/commands/command_ui.h"

#include <string>
#include <vector>

class RecordingCommandUI : public CommandUI {
  public:
    void ShowAbout() override { calls.push_back("about"); }
    void PrintDirect() override { calls.push_back("print"); }
    void PrintSetup() override { calls.push_back("print setup"); }
    void SwitchPane() override { calls.push_back("pane"); }
    void Exit() override { calls.push_back("exit"); }
    void ClearFilterText() override { calls.push_back("clear text"); }
    void ShowRemoteView() override { calls.push_back("remote view"); }
    bool TextFieldHasFocus() override { return typing; }

    std::vector<std::string> calls;
    bool typing = false;
};
