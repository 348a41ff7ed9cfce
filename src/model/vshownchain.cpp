// The collection's filters, its shown chain and the operations that move along it.
#include "model/vcollection.h"

#include "foundation/qinfo.h"
#include "foundation/qmessage.h"
#include "model/vcontact.h"
#include "model/vdates.h"
#include "model/vtask.h"
#include "model/vvisibility.h"

#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr int MAX_CHILDREN_SHOWN = 500;

// The exchange sort of the shown chain: its order on ties is part of what users see.
template <class Node> void exchangeSort(std::vector<Node*>& nodes) {
    for (size_t p = 0; p < nodes.size(); ++p)
        for (size_t j = p + 1; j < nodes.size(); ++j)
            if (nodes[j]->ComesBefore(nodes[p])) std::swap(nodes[j], nodes[p]);
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
        for (size_t i = children.begin; i < children.end; ++i) {
            if ((int)level.nodes.size() >= MAX_CHILDREN_SHOWN) break;
            if (visibility.Visible(i)) level.nodes.push_back(visibility.Child(i));
        }
        exchangeSort(level.nodes);
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
