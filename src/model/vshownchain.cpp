// The collection's filters, its shown chain and the operations that move along it.
#include "model/vcollection.h"

#include "foundation/qinfo.h"
#include "foundation/qmessage.h"
#include "model/vcontact.h"
#include "model/vdates.h"
#include "model/vtask.h"
#include "model/vvisibility.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// The original rules sorted at most this many children of a folder (and left the
// rest out); up to here their exchange sort gives the order users know.
constexpr size_t EXCHANGE_SORTED = 500;

// The exchange sort of the shown chain: its order on ties is part of what users see.
template <class Node> void exchangeSort(std::vector<Node*>& nodes) {
    for (size_t p = 0; p < nodes.size(); ++p)
        for (size_t j = p + 1; j < nodes.size(); ++j)
            if (nodes[j]->ComesBefore(nodes[p])) std::swap(nodes[j], nodes[p]);
}

// A merge sort by the same ComesBefore, ties in list order. Written out because
// ComesBefore is no strict weak order between kinds (a to-do and an action compare by
// name only), which std::stable_sort requires; this one stays a permutation whatever
// the answers.
void mergeSort(std::vector<VNode*>& nodes) {
    std::vector<VNode*> buffer(nodes.size());
    for (size_t width = 1; width < nodes.size(); width *= 2) {
        for (size_t left = 0; left < nodes.size(); left += 2 * width) {
            size_t middle = std::min(left + width, nodes.size());
            size_t right = std::min(left + 2 * width, nodes.size());
            size_t a = left, b = middle, out = left;
            while (a < middle && b < right)
                buffer[out++] = nodes[b]->ComesBefore(nodes[a]) ? nodes[b++] : nodes[a++];
            while (a < middle)
                buffer[out++] = nodes[a++];
            while (b < right)
                buffer[out++] = nodes[b++];
        }
        nodes.swap(buffer);
    }
}

// Every child shows: a folder of thousands (a large import) would take seconds for the
// exchange sort's n * n comparisons at every repaint, so past what the rules sorted
// the merge sort takes over.
void sortChildren(std::vector<VNode*>& nodes) {
    if (nodes.size() <= EXCHANGE_SORTED)
        exchangeSort(nodes);
    else
        mergeSort(nodes);
}

// The earliest start and the day after the latest end of a folder's dated actions.
struct DateRange {
    QDate first, last;
    void Add(const VNode* node) {
        if (std::strcmp(node->TypeName(), "task") != 0 || (node->flags & NO_DATE)) return;
        QDate start, end;
        if (!static_cast<const VTask*>(node)->Span(start, end)) return;
        if (!first.IsSet() || start < first) first = start;
        if (!last.IsSet() || end > last) last = end;
    }
    void StoreIn(VNode* folder) const {
        if (!IsFolder(folder)) return;
        auto* group = static_cast<VGroup*>(folder);
        group->firstStart = first.IsSet() ? DateText(first).Text() : "";
        group->lastEnd = last.IsSet() ? DateText(last).Text() : "";
    }
};

} // namespace

bool VCollection::IsVisible(const VNode* node) const {
    if (IsFolder(node)) return FolderVisible(node);
    return ItemPassesFilters(*this, node, node->IsActive());
}

bool VCollection::FolderVisible(const VNode* folder) const {
    VVisibility visibility(*this);
    return visibility.FolderVisible(folder);
}

void VCollection::MakeView(VNode* folder) {
    qtrace(QLOC("VCollection::MakeView"), "VColl:MakeView(%s)\n", folder->name.Text());
    VVisibility visibility(*this);
    visibility.Evaluate(folder);
    folder->nextShown = nullptr;
    VNode* tail = folder;

    // Depth first without recursion: each open level keeps its sorted nodes and the
    // position of the next one to link.
    struct Level {
        std::vector<VNode*> nodes;
        size_t next = 0;
    };
    std::vector<Level> levels;
    auto openLevel = [&](VNode* parent) {
        Level level;
        DateRange range;
        VVisibility::Range children = visibility.Children(parent);
        for (size_t i = children.begin; i < children.end; ++i)
            if (visibility.Visible(i)) level.nodes.push_back(visibility.Child(i));
        sortChildren(level.nodes);
        for (VNode* node : level.nodes)
            range.Add(node);
        range.StoreIn(parent);
        levels.push_back(std::move(level));
    };

    openLevel(folder);
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.next == level.nodes.size()) {
            levels.pop_back();
            continue;
        }
        int index = (int)level.next++;
        VNode* node = level.nodes[index];
        tail->nextShown = node;
        node->level = (int)levels.size() - 1;
        node->nextShown = nullptr;
        node->siblingIndex = index;
        tail = node;
        if (IsFolder(node)) openLevel(node); // may move the levels: `level` is not used after
    }
}

bool VCollection::InShownChain(const VNode* node, const VNode* start) const {
    for (const VNode* n = start; n; n = n->nextShown)
        if (n == node) return true;
    return false;
}

VNode* VCollection::NextShown(VNode* node) const {
    if (VNode* selected = Selected()) return selected->nextShown;
    return node ? node->nextShown : nullptr;
}

VNode* VCollection::PreviousShown(VNode* start) const {
    VNode* before = nullptr;
    for (VNode* n = start ? start->nextShown : nullptr; n; before = n, n = n->nextShown)
        if (n->tempFlags & SELECTED) return before;
    return nullptr;
}

bool VCollection::selectInstead(VNode* target) {
    if (!target) return false;
    if (VNode* selected = Selected()) selected->tempFlags &= ~SELECTED;
    target->Select();
    return true;
}

bool VCollection::SelectNext(VNode* node) {
    return selectInstead(NextShown(node));
}

bool VCollection::SelectPrevious(VNode* start) {
    return selectInstead(PreviousShown(start));
}

void VCollection::changeTree(VNode* node, int days, void (VNode::*change)(int)) {
    if (!IsFolder(node)) {
        (node->*change)(days);
        return;
    }
    // A folder's shown contents follow it in the chain, all in one stretch.
    for (VNode* n = node->nextShown; n && n->IsDescendantOf(node); n = n->nextShown)
        if (!IsFolder(n)) (n->*change)(days);
}

void VCollection::ShiftTree(VNode* node, int days) {
    changeTree(node, days, &VNode::ShiftDates);
}

void VCollection::ResizeTree(VNode* node, int days) {
    changeTree(node, days, &VNode::ChangeDuration);
}

int VCollection::Contacts(VContact** out, int maximum) const {
    std::vector<VContact*> contacts;
    for (VNode* node = root; node && (int)contacts.size() < maximum; node = node->next)
        if (!std::strcmp(node->TypeName(), "contact"))
            contacts.push_back(static_cast<VContact*>(node));
    exchangeSort(contacts);
    for (size_t i = 0; i < contacts.size(); ++i)
        out[i] = contacts[i];
    return (int)contacts.size();
}

void VCollection::LoadSettings(QInfo& settings) {
    dateFormat = settings.GetInt("global.dateformat", 0);
}

void VCollection::SaveSettings(QInfo& settings) const {
    settings.SetInt("global.dateformat", dateFormat);
}
