// The seam through which an item's Edit runs its modal dialog. The wx program
// registers an editor that shows the real dialog of the node's kind; tests register
// one that fills the form from a script. Without an editor nothing is edited.
// Preferences and the sync account edit no node but are dialogs of the same kind, so they
// go the same way.
#pragma once

class VCollection;
class VNode;

class NodeEditor {
  public:
    virtual ~NodeEditor() = default;
    // Runs the dialog of the node's kind on a copy of its fields; true (and the fields
    // written back) only when the user ended it with OK.
    virtual bool EditNode(VNode& node) = 0;
    // Runs the Preferences dialog on the collection; true (and its date format set) on OK.
    virtual bool EditPreferences(VCollection&) { return false; }
    // Runs the Sync Account dialog on the collection; true (and the account set) on OK.
    virtual bool EditSyncAccount(VCollection&) { return false; }
};

inline NodeEditor*& CurrentNodeEditor() {
    static NodeEditor* editor = nullptr;
    return editor;
}
