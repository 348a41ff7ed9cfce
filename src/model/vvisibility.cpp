#include "model/vvisibility.h"

#include "model/vcollection.h"

#include <algorithm>
#include <cstring>
#include <functional>

bool IsFolder(const VNode* node) {
    return !std::strcmp(node->TypeName(), "group");
}

bool ItemPassesFilters(const VCollection& c, const VNode* item, bool active) {
    std::uint32_t bits = c.filterFlags;
    if (c.contactFilter && (bits & 16) && !item->HasContact(c.contactFilter)) return false;
    bool done = item->flags & DONE;
    bool waiting = item->flags & WAITING;
    bool shown = false;
    if (bits & 1) shown = !waiting && !done;
    if ((bits & 2) && done) shown = true;
    if ((bits & 4) && waiting && !done) shown = true;
    if (bits & 8) {
        if (!done && !active) shown = true;
    } else if (!active) {
        shown = false;
    }
    if (!c.filterText.IsEmpty() && !item->Matches(c.filterText)) return false;
    return shown;
}

bool EmptyFolderShown(const VCollection& c, const VNode* folder, bool active) {
    return ((c.filterFlags & 8) && (folder->flags & INACTIVE)) || ((c.filterFlags & 1) && active);
}

VVisibility::VVisibility(const VCollection& owner) : collection(owner) {
    for (VNode* node = owner.root->next; node; node = node->next)
        if (node->parent) entries.push_back({node->parent, node});
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return std::less<const VNode*>()(a.parent, b.parent);
    });
    visible.assign(entries.size(), 0);
}

VVisibility::Range VVisibility::Children(const VNode* node) const {
    auto byParent = [](const Entry& e, const VNode* p) {
        return std::less<const VNode*>()(e.parent, p);
    };
    auto first = std::lower_bound(entries.begin(), entries.end(), node, byParent);
    auto last = first;
    while (last != entries.end() && last->parent == node)
        ++last;
    return {(size_t)(first - entries.begin()), (size_t)(last - entries.begin())};
}

void VVisibility::Evaluate(const VNode* top) {
    struct Frame {
        Range children;
        size_t next;
        size_t position; // of the folder itself among its parent's children
        bool active;
        bool anyVisible;
    };
    std::vector<Frame> stack;
    Range topChildren = Children(top);
    stack.push_back({topChildren, topChildren.begin, 0, top->IsActive(), false});
    // A damaged tree that loops would never end: no walk is deeper than the list is long.
    while (!stack.empty() && stack.size() <= entries.size() + 1) {
        Frame& frame = stack.back();
        if (frame.next == frame.children.end) {
            Frame done = frame;
            stack.pop_back();
            if (!stack.empty()) {
                visible[done.position] = done.anyVisible;
                stack.back().anyVisible |= done.anyVisible;
            }
            continue;
        }
        size_t position = frame.next++;
        const VNode* child = entries[position].node;
        bool active = frame.active && !(child->flags & INACTIVE);
        if (IsFolder(child)) {
            Range below = Children(child);
            if (below.begin != below.end) {
                stack.push_back({below, below.begin, position, active, false});
                continue;
            }
            visible[position] = EmptyFolderShown(collection, child, active);
        } else {
            visible[position] = ItemPassesFilters(collection, child, active);
        }
        frame.anyVisible |= visible[position] != 0;
    }
}

bool VVisibility::FolderVisible(const VNode* folder) {
    Range children = Children(folder);
    if (children.begin == children.end)
        return EmptyFolderShown(collection, folder, folder->IsActive());
    Evaluate(folder);
    for (size_t i = children.begin; i < children.end; ++i)
        if (visible[i]) return true;
    return false;
}
