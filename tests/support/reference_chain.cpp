#include "support/reference_chain.h"

#include "model/vdates.h"
#include "model/vtask.h"

#include <cstring>
#include <utility>

namespace {

bool isFolder(const VNode* node) {
    return !std::strcmp(node->TypeName(), "group");
}

// The rules' cap of 500 children stays here: MakeView shows them all, and the documents
// compared with it keep every folder below the cap, where both must agree.
void buildLevel(VCollection& c, VNode* folder, int depth, VNode*& tail) {
    std::vector<VNode*> taken;
    for (VNode* n = c.root->next; n; n = n->next)
        if (n->parent == folder && ReferenceIsVisible(c, n) && taken.size() < 500)
            taken.push_back(n);
    for (size_t p = 0; p < taken.size(); ++p)
        for (size_t j = p + 1; j < taken.size(); ++j)
            if (taken[j]->ComesBefore(taken[p])) std::swap(taken[j], taken[p]);
    QDate earliest, latest;
    for (size_t i = 0; i < taken.size(); ++i) {
        VNode* node = taken[i];
        if (!std::strcmp(node->TypeName(), "task") && !(node->flags & NO_DATE)) {
            auto* task = static_cast<VTask*>(node);
            QDate start;
            if (ParseDate(task->startDate, start)) {
                if (!earliest.IsSet() || start < earliest) earliest = start;
                start.AddDays(task->duration);
                if (!latest.IsSet() || start > latest) latest = start;
            }
        }
        tail->nextShown = node;
        node->level = depth;
        node->nextShown = nullptr;
        node->siblingIndex = (int)i;
        tail = node;
        if (isFolder(node)) buildLevel(c, node, depth + 1, tail);
    }
    if (isFolder(folder)) {
        auto* group = static_cast<VGroup*>(folder);
        group->firstStart = earliest.IsSet() ? DateText(earliest).Text() : "";
        group->lastEnd = latest.IsSet() ? DateText(latest).Text() : "";
    }
}

} // namespace

bool ReferenceIsVisible(const VCollection& c, const VNode* node) {
    if (isFolder(node)) return ReferenceFolderVisible(c, node);
    if (c.contactFilter && (c.filterFlags & 16) && !node->HasContact(c.contactFilter)) return false;
    bool shown = false;
    if (c.filterFlags & 1) shown = !(node->flags & (WAITING | DONE));
    if ((c.filterFlags & 2) && (node->flags & DONE)) shown = true;
    if ((c.filterFlags & 4) && (node->flags & WAITING) && !(node->flags & DONE)) shown = true;
    if (c.filterFlags & 8) {
        if (!(node->flags & DONE) && !node->IsActive()) shown = true;
    } else if (!node->IsActive()) {
        shown = false;
    }
    if (!c.filterText.IsEmpty() && !node->Matches(c.filterText)) return false;
    return shown;
}

bool ReferenceFolderVisible(const VCollection& c, const VNode* folder) {
    int counted = 0;
    for (VNode* n = c.root->next; n; n = n->next) {
        if (n->parent != folder) continue;
        if (ReferenceIsVisible(c, n)) return true;
        ++counted;
    }
    if (counted) return false;
    return ((c.filterFlags & 8) && (folder->flags & INACTIVE)) ||
           ((c.filterFlags & 1) && folder->IsActive());
}

void ReferenceMakeView(VCollection& c, VNode* folder) {
    folder->nextShown = nullptr;
    VNode* tail = folder;
    buildLevel(c, folder, 0, tail);
}

std::vector<ChainEntry> ChainOf(const VNode* folder) {
    std::vector<ChainEntry> chain;
    for (const VNode* n = folder; n; n = n->nextShown) {
        ChainEntry entry{n, n == folder ? -1 : n->level, n == folder ? -1 : n->siblingIndex, "",
                         ""};
        if (isFolder(n)) {
            entry.firstStart = static_cast<const VGroup*>(n)->firstStart.Text();
            entry.lastEnd = static_cast<const VGroup*>(n)->lastEnd.Text();
        }
        chain.push_back(entry);
    }
    return chain;
}
