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
    void ShowUserGuide() override { calls.push_back("guide"); }
    void FocusFilterText() override { calls.push_back("focus filter"); }
    void FocusItemView() override { calls.push_back("focus items"); }
    std::string ChooseExportFile(const std::string& folder, const std::string& name) override {
        calls.push_back("choose " + folder + " " + name);
        return exportAnswer;
    }
    bool TextFieldHasFocus() override { return typing; }
    // Answers the file chooser with `answer` (empty: the user cancelled).
    std::string ChooseFile(bool forSaving, const std::string& caption,
                           const std::string& wildcard, const std::string& suggested) override {
        asked.push_back((forSaving ? "save: " : "open: ") + caption + " " + wildcard);
        suggestedNames.push_back(suggested);
        return answer;
    }
    WindowSync* Sync() override { return sync; }

    std::vector<std::string> calls;
    bool typing = false;
    std::string answer;
    std::vector<std::string> asked;
    std::vector<std::string> suggestedNames; // one for each time the chooser was asked
    std::string exportAnswer; // the export chooser's answer; "" is Cancel
    WindowSync* sync = nullptr;
};
