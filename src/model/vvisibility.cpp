#include "model/vvisibility.h"

#include "model/vcollection.h"

#include <algorithm>
#include <cstdint>

bool IsFolder(const VNode* node) {
    return node->IsFolderKind();
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

namespace {

std::uintptr_t address(const VNode* node) {
    return (std::uintptr_t)node;
}

} // namespace

VVisibility::VVisibility(const VCollection& owner) : collection(owner) {
    if (owner.StructureFrozen() && owner.frozenChildIndex) {
        index = std::static_pointer_cast<const std::vector<Entry>>(owner.frozenChildIndex);
    } else {
        auto entries = std::make_shared<std::vector<Entry>>();
        for (VNode* node = owner.root->next; node; node = node->next)
            if (node->parent) entries->push_back({node->parent, node});
        sortByParent(*entries);
        index = entries;
        if (owner.StructureFrozen()) owner.frozenChildIndex = index;
    }
    visible.assign(index->size(), 0);
}

void VVisibility::sortByParent(std::vector<Entry>& entries) {
    // Ordered by the parent's address, list order kept within each parent: a radix sort
    // over the address bits that differ, a few passes over the entries instead of a
    // comparison sort.
    if (entries.size() < 2) return;
    std::uintptr_t differing = 0;
    for (const Entry& e : entries)
        differing |= address(e.parent) ^ address(entries[0].parent);
    constexpr int DIGIT = 11;
    constexpr std::uintptr_t MASK = (1u << DIGIT) - 1;
    std::vector<Entry> sorted(entries.size());
    std::vector<size_t> starts(MASK + 2);
    for (int shift = 0; shift < (int)(8 * sizeof(std::uintptr_t)) && (differing >> shift);
         shift += DIGIT) {
        if (((differing >> shift) & MASK) == 0) continue; // the same digit everywhere
        std::fill(starts.begin(), starts.end(), 0);
        for (const Entry& e : entries)
            ++starts[((address(e.parent) >> shift) & MASK) + 1];
        for (size_t digit = 1; digit < starts.size(); ++digit)
            starts[digit] += starts[digit - 1];
        for (const Entry& e : entries)
            sorted[starts[(address(e.parent) >> shift) & MASK]++] = e;
        entries.swap(sorted);
    }
}

VVisibility::Range VVisibility::Children(const VNode* node) const {
    auto byParent = [](const Entry& e, const VNode* p) { return address(e.parent) < address(p); };
    const std::vector<Entry>& entries = *index;
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
    const std::vector<Entry>& entries = *index;
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
