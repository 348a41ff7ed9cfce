// The folder tree's window for tests: which folders it was asked to show selected, and
// which label it was asked to edit.
#pragma once

#include "views/LeftView.h"

#include <vector>

class RecordingTreeControl : public FolderTreeControl {
  public:
    void ShowSelected(VNode* folder) override {
        shown.push_back(folder);
        selected = folder;
    }
    void EditLabel(VNode* folder) override { editing = folder; }

    std::vector<VNode*> shown; // in order
    VNode* selected = nullptr; // the last one shown
    VNode* editing = nullptr;
};
