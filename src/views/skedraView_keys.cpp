// The item view's keys: moving the selection along the shown chain (a row, a page, to
// either end), ticking, editing, deleting, going up a folder and reaching the filter field.
#include "views/skedraView.h"

#include "model/vcollection.h"
#include "platform/command_ids.h"
#include "views/view_document.h"
#include "views/view_window.h"

#include <algorithm>
#include <cstdlib>

void CSkedraView::scrollIntoView(const VNode* item) {
    if (!window || IsCalendarMode()) return;
    VRect r = item->rect;
    if (IsAgendaMode()) {
        if (agendaRow < 0) return;
        r = agendaList.Rows()[agendaRow].rect;
    } else {
        int index = -1;
        for (int i = 0; i < rowCount && index < 0; ++i)
            if (rowSlots[i].item == item) index = i;
        if (index < 0) return;
        selectedRow = index;
    }
    int top = window->ScrollTop(), height = window->VisibleHeight();
    if (r.y < top)
        window->ScrollTo(r.y);
    else if (r.y + r.height > top + height)
        window->ScrollTo(r.y + r.height - height);
}

int CSkedraView::pageRows() const {
    int shown = window && rowHeight > 0 ? window->VisibleHeight() / rowHeight : 0;
    return std::max(1, shown - 1);
}

void CSkedraView::moveAgendaSelection(int rows) {
    int from = agendaList.ShownSelection(agendaRow);
    int step = rows > 0 ? 1 : -1;
    int row = from;
    for (int i = 0; i < std::abs(rows); ++i) {
        int next = agendaList.Step(row, step);
        if (next < 0) break;
        row = next;
    }
    if (row < 0 || row == from) return;
    selectAgendaRow(row);
    scrollIntoView(agendaList.Rows()[row].item);
}

void CSkedraView::moveSelection(int rows) {
    if (IsAgendaMode()) {
        moveAgendaSelection(rows);
        return;
    }
    VCollection& c = *viewer->collection;
    bool moved = false;
    for (int i = 0; i < std::abs(rows); ++i) {
        if (!(rows > 0 ? c.SelectNext(viewer->folder) : c.SelectPrevious(viewer->folder))) break;
        moved = true;
    }
    if (!moved) return;
    scrollIntoView(c.Selected());
    Redraw();
}

void CSkedraView::OnKeyDown(ViewKey key) {
    if (!document) return;
    VCollection& c = *viewer->collection;
    // Further than any folder's rows: the walk stops at the end.
    constexpr int ALL_ROWS = 1 << 30;
    switch (key) {
    case ViewKey::Down:
        moveSelection(1);
        return;
    case ViewKey::Up:
        moveSelection(-1);
        return;
    case ViewKey::PageDown:
        moveSelection(pageRows());
        return;
    case ViewKey::PageUp:
        moveSelection(-pageRows());
        return;
    case ViewKey::Home:
        // With nothing chosen yet the first row is where a step down lands.
        moveSelection(1);
        moveSelection(-ALL_ROWS);
        return;
    case ViewKey::End:
        moveSelection(ALL_ROWS);
        return;
    case ViewKey::Space: {
        VNode* item = IsAgendaMode() ? SelectedRowItem() : c.Selected();
        if (item && item->HasCheckBox()) tick(item);
        return;
    }
    case ViewKey::Delete:
        if (window) window->SendCommand(CMD_DELETE);
        return;
    case ViewKey::Enter:
    case ViewKey::F2:
        EditItem(c.Selected());
        return;
    case ViewKey::Backspace:
        if (VNode* parent = viewer->folder->parent) showFolder(parent);
        return;
    case ViewKey::F:
        if (window) window->FocusFilterText();
        return;
    case ViewKey::Other:
        return;
    }
}
