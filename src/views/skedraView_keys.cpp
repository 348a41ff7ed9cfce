// The item view's keys: moving the selection along the shown chain, editing, deleting,
// going up a folder and reaching the filter field.
#include "views/skedraView.h"

#include "model/vcollection.h"
#include "platform/command_ids.h"
#include "views/view_document.h"
#include "views/view_window.h"

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

void CSkedraView::OnKeyDown(ViewKey key) {
    if (!document) return;
    VCollection& c = *viewer->collection;
    switch (key) {
    case ViewKey::Down:
    case ViewKey::Up: {
        if (IsAgendaMode()) {
            int row = agendaList.Step(agendaList.ShownSelection(agendaRow),
                                      key == ViewKey::Down ? 1 : -1);
            if (row < 0) return;
            selectAgendaRow(row);
            scrollIntoView(agendaList.Rows()[row].item);
            return;
        }
        bool moved =
            key == ViewKey::Down ? c.SelectNext(viewer->folder) : c.SelectPrevious(viewer->folder);
        if (!moved) return;
        scrollIntoView(c.Selected());
        Redraw();
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
