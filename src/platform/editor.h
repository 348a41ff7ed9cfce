// The seam through which an item's Edit runs its modal dialog. The wx program
// registers an editor that shows the real dialog of the node's kind; tests register
// one that fills the form from a script. Without an editor nothing is edited.
#pragma once

class VNode;

class NodeEditor {
  public:
    virtual ~NodeEditor() = default;
    // Runs the dialog of the node's kind on a copy of its fields; true (and the fields
    // written back) only when the user ended it with OK.
    virtual bool EditNode(VNode& node) = 0;
};

inline NodeEditor*& CurrentNodeEditor() {
    static NodeEditor* editor = nullptr;
    return editor;
}
