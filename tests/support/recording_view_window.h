// The item view's window for tests: records drags, scrolling, the filter field's focus,
// commands sent and repaints.
#pragma once

#include "views/view_window.h"

#include <string>
#include <vector>

class RecordingViewWindow : public ViewWindow {
  public:
    void StartDrag(const std::string& text) override { drags.push_back(text); }
    int ScrollTop() override { return top; }
    int VisibleHeight() override { return height; }
    void ScrollTo(int to) override { top = to; }
    void FocusFilterText() override { ++filterFocus; }
    void SendCommand(int command) override { commands.push_back(command); }
    void Repaint() override { ++repaints; }

    std::vector<std::string> drags;
    std::vector<int> commands;
    int top = 0, height = 700, filterFocus = 0, repaints = 0;
};
