// What the views ask of the document they show: its collection, the windows around it,
// integer settings, and the refresh sequences that follow a change. The document of the
// program implements it; tests may script one.
#pragma once

#include <string>

class DocumentHost;
class ItemViewState;
class VCollection;
class VNode;

class ViewDocument {
  public:
    virtual ~ViewDocument() = default;

    virtual VCollection* Collection() = 0;
    // The windows around the document, or none (headless, or not built yet).
    virtual DocumentHost* Host() = 0;
    virtual int GetGlobalInt(const char* name, int def) = 0;
    virtual void SetGlobalInt(const char* name, int value) = 0;

    // The item view registers itself so the document can mark it for a rebuild, and
    // lets go of itself when it ends.
    virtual void AttachView(ItemViewState* view) = 0;
    virtual void DetachView(ItemViewState* view) = 0;

    // The refresh sequences, one call each, so every change has one place to end in:
    // items changed: rebuild the rows, redraw, modified, contact list;
    // item edited: for a folder the tree first, then contact list, modified, redraw;
    // activity changed: the tree, then items changed;
    // view flags changed: store them, copy them to the filters, the tree, rebuild, redraw.
    virtual void ItemsChanged() = 0;
    virtual void ItemEdited(VNode* item) = 0;
    virtual void ActivityChanged() = 0;
    virtual void ViewFlagsChanged() = 0;
    // The ribbon's "Hilite items of " list after contacts came or went.
    virtual void RefreshContactList() = 0;

    // A folder was opened or closed in the tree: stored with the document (modified), but
    // no edit (no undo step, Redo stays); it needs no refresh.
    virtual void FolderExpansionChanged(VNode* folder) = 0;
    // The name the next change goes by in the undo history ("Move to 'Work'"), for input
    // that is no command (a drop, a rename in place); commands are named by the table.
    virtual void NameNextChange(const std::string& name) = 0;
    // The next change is what this command (platform/command_ids.h) does, started another
    // way (F2 edits as Edit does): it goes by the command's name.
    virtual void NameNextChangeAs(int command) = 0;
};
