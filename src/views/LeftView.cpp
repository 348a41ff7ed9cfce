#include "views/LeftView.h"

#include "app/skedradoc.h"
#include "app/viewstate.h"
#include "model/vcollection.h"
#include "model/vvisibility.h"
#include "platform/document_host.h"
#include "platform/ui.h"

#include <cstring>
#include <unordered_map>
#include <utility>

namespace {
CLeftView* current = nullptr;
}

CLeftView::CLeftView(CSkedraDoc* doc) : document(doc) {
    current = this;
}

CLeftView::~CLeftView() {
    if (current == this) current = nullptr;
}

CLeftView* CLeftView::Current() {
    return current;
}

std::vector<CLeftView::Entry> CLeftView::Refill() {
    VCollection& c = *document->collection;
    VVisibility visibility(c);
    visibility.Evaluate(c.root);

    std::vector<VNode*> folders;
    for (VNode* node = c.root; node && (int)folders.size() < MAX_FOLDERS; node = node->next)
        if (IsFolder(node) && (node == c.root || visibility.FolderVisible(node)))
            folders.push_back(node);

    // Ancestors before descendants, siblings by name: passes of exchanges until one
    // changes nothing.
    for (size_t pass = 0; pass < folders.size(); ++pass) {
        bool exchanged = false;
        for (size_t i = 0; i < folders.size(); ++i)
            for (size_t j = i + 1; j < folders.size(); ++j) {
                VNode* a = folders[i];
                VNode* b = folders[j];
                bool below = a->IsDescendantOf(b);
                bool byName = a->parent == b->parent && CompareText(b->name, a->name) < 0;
                if (below || byName) {
                    std::swap(folders[i], folders[j]);
                    exchanged = true;
                }
            }
        if (!exchanged) break;
    }

    std::vector<Entry> entries;
    std::unordered_map<const VNode*, int> index;
    for (VNode* folder : folders) {
        Entry e;
        e.folder = folder;
        auto parent = folder->parent ? index.find(folder->parent) : index.end();
        e.parent = parent == index.end() ? -1 : parent->second;
        e.label = folder == c.root ? "All folders" : folder->name.Text();
        int type = static_cast<VGroup*>(folder)->folderType;
        e.image = type >= 0 && type <= 9 ? type : 0;
        e.bold = c.CountChildren(folder, true) > 0;
        e.expanded = folder == c.root || (folder->flags & EXPANDED);
        index[folder] = (int)entries.size();
        entries.push_back(e);
    }
    return entries;
}

bool CLeftView::BeginLabelEdit(VNode* folder) {
    if (!folder || folder == document->collection->root) return false;
    oldName = folder->name.Text();
    return true;
}

bool CLeftView::EndLabelEdit(VNode* folder, const std::string& text) {
    if (!folder || folder == document->collection->root || text.empty()) return false;
    folder->name = text.c_str();
    if (document->host) {
        document->host->SetModified(true);
        document->host->RefillTree();
        document->host->UpdateAllViews();
    }
    return true;
}

void CLeftView::Expanded(VNode* folder, bool expanded) {
    if (!folder || folder == document->collection->root) return;
    bool was = folder->flags & EXPANDED;
    if (was == expanded) return;
    if (expanded)
        folder->flags |= EXPANDED;
    else
        folder->flags &= ~EXPANDED;
    if (document->host) document->host->SetModified(true);
}

bool CLeftView::Drop(VNode* node, VNode* target) {
    if (!node || !target || node == target) return true;
    if (target->IsDescendantOf(node)) {
        std::string text = "Can't make '" + std::string(node->name.Text()) +
                           "' a subfolder of one of its own subfolders.";
        ShowMessage(text.c_str(), "Error", MsgButtons::OK, MsgIcon::Error);
        return false;
    }
    node->parent = target;
    if (document->view) document->view->needsRebuild = true;
    if (document->host) {
        document->host->RefillTree();
        document->host->SetModified(true);
        document->host->UpdateAllViews();
    }
    return true;
}
