// Message boxes for tests: records every box asked for and answers from a script.
#pragma once

#include "platform/ui.h"

#include <deque>
#include <string>
#include <vector>

struct AskedMessage {
    std::string text;
    std::string caption;
    MsgButtons buttons;
    MsgIcon icon;
};

class ScriptedUI : public UIServices {
  public:
    ScriptedUI() { CurrentUI() = this; }
    ~ScriptedUI() override { CurrentUI() = nullptr; }

    MsgAnswer MessageBox(const char* text, const char* caption, MsgButtons buttons,
                         MsgIcon icon) override {
        asked.push_back({text ? text : "", caption ? caption : "", buttons, icon});
        if (answers.empty()) return MsgAnswer::OK;
        MsgAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<AskedMessage> asked;
    std::deque<MsgAnswer> answers;
};
