#include "app/refresh_sequences.h"

#include "app/contact_list.h"
#include "app/history/undo_history.h"
#include "model/vcollection.h"
#include "model/vvisibility.h"
#include "platform/document_host.h"
#include "views/view_state.h"

void RefreshSequences::DetachView(ItemViewState* itemView) {
    if (view == itemView) view = nullptr;
}

void RefreshSequences::Redraw() {
    if (view) view->needsRebuild = true;
    if (host) host->UpdateAllViews();
}

void RefreshSequences::Tree() {
    if (host) host->RefillTree();
}

void RefreshSequences::MarkModified() {
    ++changes;
    if (view) view->DocumentChanged();
    if (host) host->SetModified(true);
}

void RefreshSequences::SavedState(bool atSavedState) {
    if (!atSavedState) {
        MarkModified();
        return;
    }
    ++changes; // back to the saved nodes is a change too
    if (view) view->DocumentChanged();
    if (host) host->SetModified(false);
}

void RefreshSequences::ContactList(VCollection& collection) {
    if (!host) return;
    int remembered = host->ContactListSelection();
    std::vector<std::string> entries = ContactListEntries(collection);
    int count = (int)entries.size() - 1;
    host->SetContactList(entries, remembered >= 0 && remembered <= count ? remembered : 0);
}

void RefreshSequences::ItemsChanged(VCollection& collection) {
    Redraw();
    MarkModified();
    ContactList(collection);
}

void RefreshSequences::ItemEdited(VCollection& collection, VNode* item) {
    if (item && IsFolder(item)) Tree();
    ContactList(collection);
    MarkModified();
    Redraw();
}

void RefreshSequences::ActivityChanged(VCollection& collection) {
    Tree();
    ItemsChanged(collection);
}

void RefreshSequences::CollectionReplaced(VCollection& collection) {
    ++changes;
    if (view) view->CollectionChanged(&collection);
    ContactList(collection);
    Tree();
    Redraw();
}

void RefreshSequences::HistoryStepped(VCollection& collection, const HistoryStep& step,
                                      bool atSavedState) {
    if (step.subject) {
        for (VNode* node = collection.root; node; node = node->next)
            node->tempFlags &= ~SELECTED;
        step.subject->Select();
    }
    if (step.foldersChanged) Tree();
    ContactList(collection);
    SavedState(atSavedState);
    Redraw();
}

void RefreshSequences::Today(long day) {
    if (today && day == *today) return;
    bool first = !today;
    today = day;
    if (!first) Redraw();
}
