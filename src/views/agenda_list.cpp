#include "views/agenda_list.h"

#include "model/vcollection.h"
#include "model/vcollviewer.h"

#include <unordered_set>

void AgendaList::Layout(const VCollection& c, VNode* firstShown, long today, const VRect& first,
                        int maxRows, int rowsPerPage) {
    rows.clear();
    std::unordered_set<const VNode*> shown;
    for (VNode* n = firstShown; n; n = n->nextShown)
        shown.insert(n);
    std::unordered_set<const VNode*> later;
    VRect rect = first;
    auto add = [&](VNode* item, AgendaGroup group, const VWhen& when) {
        rows.push_back({item, group, when, rect});
        rect.y += rect.height;
        if (rowsPerPage > 0 && (int)rows.size() % rowsPerPage == 0) rect.y = first.y;
    };
    for (const AgendaEntry& entry : BuildAgenda(c, today, today + DAYS_AHEAD, today).entries) {
        if ((int)rows.size() + 2 > maxRows) break;
        if (!shown.count(entry.node)) continue;
        if (entry.group == AgendaGroup::Later && !later.insert(entry.node).second) continue;
        if (rows.empty() || rows.back().group != entry.group) add(nullptr, entry.group, {});
        add(entry.node, entry.group, entry.when);
    }
}

void AgendaList::Paint(VCollectionViewer& v, const CanvasRect& clip, int selected, int firstRow,
                       int lastRow) {
    Canvas& dc = *v.paintDC;
    double s = v.scale;
    int shownSelection = ShownSelection(selected);
    for (int i = firstRow; i < (int)rows.size() && i < lastRow; ++i) {
        Row& row = rows[i];
        const VRect& r = row.rect;
        if (r.y + r.height + 1 < clip.top || r.y - 2 > clip.bottom) continue;
        if (!row.item) {
            dc.FillRect({r.x, r.y, r.x + r.width, r.y + r.height}, LevelColour(0));
            dc.SetFont(v.boldFont.height, v.boldFont.weight, v.boldFont.face);
            dc.SetTextColour(RowColour::WHITE);
            dc.TextEllipsis({r.x + (int)(8 * s), r.y + (int)(3 * s), r.x + r.width,
                             r.y + r.height + (int)(3 * s)},
                            AgendaGroupTitle(row.group));
            continue;
        }
        // The item's own row, at the top level, standing for this occurrence.
        VNode& item = *row.item;
        int level = item.level;
        bool itemSelected = item.tempFlags & SELECTED;
        if (i != shownSelection) item.tempFlags &= ~SELECTED;
        item.level = 0;
        item.SetRect(r.x, r.y, r.width, r.height);
        v.occurrence = &row.when;
        item.Paint(v);
        v.occurrence = nullptr;
        item.level = level;
        if (itemSelected) item.tempFlags |= SELECTED;
    }
}

int AgendaList::HitRow(int x, int y) const {
    for (int i = 0; i < (int)rows.size(); ++i) {
        const VRect& r = rows[i].rect;
        if (rows[i].item && r.x <= x && r.y <= y && y < r.y + r.height) return i;
    }
    return -1;
}

int AgendaList::ShownSelection(int selected) const {
    if (selected >= 0 && selected < (int)rows.size() && rows[selected].item &&
        (rows[selected].item->tempFlags & SELECTED))
        return selected;
    for (int i = 0; i < (int)rows.size(); ++i)
        if (rows[i].item && (rows[i].item->tempFlags & SELECTED)) return i;
    return -1;
}

int AgendaList::Step(int from, int step) const {
    for (int i = from + step; i >= 0 && i < (int)rows.size(); i += step)
        if (rows[i].item) return i;
    return -1;
}
