// The undo history of the open document: a copy of the document taken after every change,
// the changes themselves found by comparing with it, and the way back and forth through
// them. It depends on nothing but the collection, so a change is recorded whichever code
// made it, as long as it ends in one of the document's refresh functions.
#pragma once

#include "app/history/document_change.h"
#include "app/history/document_mirror.h"

#include <cstddef>
#include <deque>
#include <string>

class VCollection;
class VNode;

// What undoing or redoing a change did, for the views.
struct HistoryStep {
    std::string name;
    bool foldersChanged = false;
    bool dateFormatChanged = false;
    // The node the change was about and that exists afterwards (to select), or null.
    VNode* subject = nullptr;
};

class UndoHistory {
  public:
    static constexpr std::size_t MAX_CHANGES = 1000;

    // A new or opened document: no history, and this is the saved state.
    void Reset(VCollection& collection);

    // Records what changed since the last record, under this name (a name of its own
    // when empty); false when nothing did.
    bool Record(VCollection& collection, const std::string& name);

    // Takes the document as it is now without a step, for a change that is no edit (a
    // folder opened or closed): nothing to undo, and Redo stays.
    void Absorb(VCollection& collection) { mirror.Take(collection); }

    bool CanUndo() const { return position > 0; }
    bool CanRedo() const { return position < changes.size(); }
    const std::string& UndoName() const;
    const std::string& RedoName() const;

    // Steps one change back or forward; false when there is none. `folder` (the item
    // view's current folder) moves up out of a folder that goes.
    bool Undo(VCollection& collection, VNode*& folder, HistoryStep& step);
    bool Redo(VCollection& collection, VNode*& folder, HistoryStep& step);

    // The document as it is now was saved (or opened).
    void MarkSaved() { savedAt = (long)position; }
    // Whether the nodes are as they were saved: only changes of the date format, which
    // the file does not hold, lie between.
    bool AtSavedState() const;
    std::size_t Count() const { return changes.size(); }

  private:
    bool step(VCollection& collection, bool back, VNode*& folder, HistoryStep& result);

    DocumentMirror mirror;
    DocumentMirror spare; // the next copy, taken into the memory of the one before
    std::deque<DocumentChange> changes;
    std::size_t position = 0; // changes before it are done, from it on undone
    long savedAt = 0;         // the position of the saved state; -1 when out of reach
};
