// Item dialogs for tests: records the nodes a dialog was opened on and answers OK (true)
// or Cancel, first from `answers` in turn, then from `answer`, which may also change the
// node as a user filling in the dialog would.
#pragma once

#include "platform/editor.h"

#include <deque>
#include <functional>
#include <vector>

class AnsweringEditor : public NodeEditor {
  public:
    explicit AnsweringEditor(bool otherwise = true)
        : answer([otherwise](VNode&) { return otherwise; }) {
        CurrentNodeEditor() = this;
    }
    ~AnsweringEditor() override { CurrentNodeEditor() = nullptr; }
    AnsweringEditor(const AnsweringEditor&) = delete;
    AnsweringEditor& operator=(const AnsweringEditor&) = delete;

    bool EditNode(VNode& node) override {
        opened.push_back(&node);
        if (answers.empty()) return answer(node);
        bool ok = answers.front();
        answers.pop_front();
        return ok;
    }

    std::vector<VNode*> opened;
    std::deque<bool> answers;
    std::function<bool(VNode&)> answer;
};
