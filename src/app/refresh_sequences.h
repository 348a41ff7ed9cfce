// RefreshSequences: what the windows do after a change of the document, one sequence per
// kind of change, in the order the windows need: the item view's rows, the folder tree,
// the redraw, the modified mark and the ribbon's contact list.
#pragma once

#include <cstdint>
#include <optional>

class DocumentHost;
class ItemViewState;
class VCollection;
class VNode;
struct HistoryStep;

class RefreshSequences {
  public:
    // The windows around the document (none headless) and the item view it marks.
    void SetHost(DocumentHost* windows) { host = windows; }
    DocumentHost* Host() const { return host; }
    void AttachView(ItemViewState* itemView) { view = itemView; }
    void DetachView(ItemViewState* itemView);
    ItemViewState* View() const { return view; }

    // The steps the sequences are made of.
    // Everything is redrawn: the one way every view learns of a change to the document,
    // the settings or today. The item view makes its rows again (the list's, the
    // agenda's occurrences, the calendar's bars) at its next paint, whichever it shows.
    void Redraw();
    void Tree();         // the folder tree is refilled
    void MarkModified(); // the document is marked modified
    // The modified mark after a change the history recorded: clear exactly when the
    // nodes are as saved.
    void SavedState(bool atSavedState);
    void ContactList(VCollection& collection);

    // Moves with every change of the document the sequences announce (and with a new or
    // opened one): what was made from the document before, the remote view's calendar
    // feed, is made again once it moved.
    std::uint64_t Changes() const { return changes; }

    // The sequences (ViewDocument tells which follows which change).
    void ItemsChanged(VCollection& collection);
    void ItemEdited(VCollection& collection, VNode* item);
    void ActivityChanged(VCollection& collection);
    // A new or opened collection: the view shows its top folder, and everything follows.
    void CollectionReplaced(VCollection& collection);
    // An undo or redo: the changed node selected, and the windows as the change needs.
    void HistoryStepped(VCollection& collection, const HistoryStep& step, bool atSavedState);
    // The clock's day, as the window's timer reads it: a new day redraws everything (the
    // first one read only starts the count).
    void Today(long day);

  private:
    DocumentHost* host = nullptr;
    ItemViewState* view = nullptr;
    std::uint64_t changes = 0;
    std::optional<long> today;
};
