// The item view's pointer handling: selecting, ticking check boxes, opening, dragging
// rows to the folder tree, moving actions in the calendar and adding items by a click.
#include "views/skedraView.h"

#include "foundation/qmessage.h"
#include "model/vcollection.h"
#include "model/vdates.h"
#include "model/vschedule.h"
#include "model/vtask.h"
#include "model/vvisibility.h"
#include "platform/command_ids.h"
#include "views/LeftView.h"
#include "views/drag_data.h"
#include "views/item_creation.h"
#include "views/view_document.h"
#include "views/view_window.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {
// Movement beyond this many units in either direction turns a press into a drag.
constexpr int DRAG_DISTANCE = 5;

bool MovedFar(int x, int y, int fromX, int fromY) {
    return std::abs(x - fromX) > DRAG_DISTANCE || std::abs(y - fromY) > DRAG_DISTANCE;
}
} // namespace

bool CSkedraView::InCheckBox(const VNode* item, int x, int y) const {
    const VRect& r = item->rect;
    int left = r.x + 5 * item->level + (item->icon != ItemIcon::None ? 18 : 0);
    int width = (int)(14 * scale);
    return left <= x && x < left + width && r.y <= y && y < r.y + r.height;
}

void CSkedraView::showFolder(VNode* folder) {
    // The tree selects it and makes it current; without a tree the view does it alone.
    if (CLeftView* tree = CLeftView::Current()) {
        tree->SelectNode(folder);
        return;
    }
    SetFolder(folder);
    Redraw();
}

void CSkedraView::OpenItem(VNode* item) {
    if (IsFolder(item)) {
        item->tempFlags &= ~SELECTED;
        showFolder(item);
    } else if (item->Open() && document) {
        document->NameNextChangeAs(CMD_EDIT); // its dialog edited it, as Edit does
        document->ItemEdited(item);
    }
}

void CSkedraView::EditItem(VNode* item) {
    if (!item || !item->Edit() || !document) return;
    document->NameNextChangeAs(CMD_EDIT);
    document->ItemEdited(item);
}

void CSkedraView::OnLButtonDown(int x, int y) {
    if (!document) return;
    if (IsAgendaMode())
        agendaButtonDown(x, y);
    else if (IsListMode())
        listButtonDown(x, y);
    else
        calendarButtonDown(x, y);
}

VNode* CSkedraView::agendaItemAt(int x, int y) {
    int row = agendaList.HitRow(x, y);
    selectAgendaRow(row);
    if (row < 0) return nullptr;
    // An item may stand on several rows: the one under the pointer is where it is now.
    const AgendaList::Row& hit = agendaList.Rows()[row];
    hit.item->SetRect(hit.rect.x, hit.rect.y, hit.rect.width, hit.rect.height);
    return hit.item;
}

void CSkedraView::selectAgendaRow(int row) {
    viewer->DeselectAll();
    agendaRow = row;
    if (row >= 0) agendaList.Rows()[row].item->Select();
    Redraw();
}

void CSkedraView::agendaButtonDown(int x, int y) {
    dragItem = nullptr;
    if (VNode* item = agendaItemAt(x, y)) pressRow(item, x, y);
}

void CSkedraView::listButtonDown(int x, int y) {
    dragItem = nullptr;
    int index = HitRow(x, y);
    SelectRow(index);
    if (index >= 0) pressRow(rowSlots[index].item, x, y);
}

void CSkedraView::pressRow(VNode* item, int x, int y) {
    if (item->HasCheckBox() && InCheckBox(item, x, y)) {
        tick(item);
        return;
    }
    // A drag of the row starts once the pointer moves away with the button held.
    dragItem = item;
    dragX = x;
    dragY = y;
}

void CSkedraView::tick(VNode* item) {
    // A repeating item ticked done moves on to its next occurrence.
    bool done = !(item->flags & DONE);
    SetItemDone(*viewer->collection, item, done);
    document->NameNextChange(done ? "Mark done" : "Mark not done");
    document->ItemsChanged();
}

void CSkedraView::calendarButtonDown(int x, int y) {
    VNode* item = calendar.HitItem(x, y);
    qtrace(QLOC("CSkedraView::OnLButtonDown"), "node %p\n", (void*)item);
    qtrace(QLOC("CSkedraView::OnLButtonDown"), "collviewer %p\n", (void*)viewer.get());
    viewer->DeselectAll();
    calendar.DeselectCells();
    dragging = false;
    dragItem = nullptr;
    if (item) {
        qtrace(QLOC("CSkedraView::OnLButtonDown"), "node2 %p\n", (void*)item);
        item->Select();
        dragItem = item;
        dragX = x;
        dragY = y;
    } else if (CalendarCell* cell = calendar.HitCell(x, y)) {
        cell->flags |= CalendarCell::SELECTED;
    }
    Redraw();
}

void CSkedraView::OnMouseMove(int x, int y, bool leftDown) {
    if (!leftDown && dragItem) {
        // The release happened where we could not see it: the press ends here.
        dragItem = nullptr;
        if (dragging) {
            dragging = false;
            Redraw();
        }
        return;
    }
    if (!IsCalendarMode()) {
        if (!dragItem || !MovedFar(x, y, dragX, dragY)) return;
        VNode* item = dragItem;
        dragItem = nullptr;
        if (window) window->StartDrag(DragDataOf(*item));
        return;
    }
    if (dragging) {
        dragX = x;
        dragY = y;
        Redraw();
    } else if (dragItem && MovedFar(x, y, dragX, dragY)) {
        dragging = true;
        dragX = x;
        dragY = y;
        Redraw();
    } else if (CalendarCell* selected = calendar.SelectedCell()) {
        if (calendar.HitCell(x, y) != selected) {
            calendar.DeselectCells();
            Redraw();
        }
    }
}

void CSkedraView::OnLButtonUp(int x, int y) {
    if (!document) return;
    if (!IsCalendarMode()) {
        dragItem = nullptr;
        return;
    }
    if (dragging) {
        moveDraggedAction(x, y);
    } else if (dragItem) {
        dragItem = nullptr; // a click without a drag
    } else if (calendar.SelectedCell()) {
        addActionOnSelectedDay();
    }
}

void CSkedraView::moveDraggedAction(int x, int y) {
    VNode* item = dragItem;
    dragging = false;
    dragItem = nullptr;
    CalendarCell* cell = calendar.HitCell(x, y);
    if (cell && item->HasDates()) {
        auto* action = static_cast<VTask*>(item);
        qstring day = DateText(cell->date);
        if (std::strcmp(action->startDate.Text(), day.Text()) != 0) {
            action->startDate = day;
            document->NameNextChange("Reschedule");
            document->ItemsChanged();
            return;
        }
    }
    Redraw();
}

void CSkedraView::addActionOnSelectedDay() {
    CalendarCell* cell = calendar.SelectedCell();
    QDate day = cell->date;
    calendar.DeselectCells();
    auto* action = new VTask(viewer->collection);
    action->flags &= ~NO_DATE;
    action->startDate = DateText(day);
    if (!AddNewItem(*document, action, viewer->folder)) Redraw();
}

void CSkedraView::OnLButtonDblClk(int x, int y) {
    if (!document) return;
    if (IsAgendaMode()) {
        VNode* item = agendaItemAt(x, y);
        if (item && !(item->HasCheckBox() && InCheckBox(item, x, y))) OpenItem(item);
        return;
    }
    if (IsListMode()) {
        int index = HitRow(x, y);
        if (index >= 0) {
            VNode* item = rowSlots[index].item;
            if (!(item->HasCheckBox() && InCheckBox(item, x, y))) OpenItem(item);
            return;
        }
        auto* folder = static_cast<VGroup*>(viewer->folder);
        AddNewItem(*document, NewItemOfFolderType(*viewer->collection, folder->folderType), folder);
        return;
    }
    VNode* item = calendar.HitItem(x, y);
    viewer->DeselectAll();
    dragging = false;
    dragItem = nullptr;
    if (item)
        OpenItem(item);
    else
        AddNewItem(*document, new VTask(viewer->collection), viewer->folder);
    Redraw();
}

RightClick CSkedraView::OnRButtonDown(int x, int y) {
    if (IsAgendaMode()) return {true, agendaItemAt(x, y)};
    if (IsListMode()) {
        int row = HitRow(x, y);
        SelectRow(row);
        return {true, row >= 0 ? rowSlots[row].item : nullptr};
    }
    viewer->DeselectAll();
    VNode* item = calendar.HitItem(x, y);
    if (item) item->Select();
    Redraw();
    return {false, item};
}

void CSkedraView::OnMouseWheel(int delta, bool zoom) {
    if (zoom) {
        // 120 is one notch; a fine-grained wheel's smaller steps still count as one.
        int notches = std::max(1, std::abs(delta) / 120);
        for (int i = 0; i < notches && window; ++i)
            window->SendCommand(delta > 0 ? CMD_ZOOM_IN : CMD_ZOOM_OUT);
        return;
    }
    if (IsCalendarMode()) {
        ScrollMonth(-delta);
        return;
    }
    if (!window) return;
    int step = 5 * rowHeight;
    window->ScrollTo(std::max(0, window->ScrollTop() + (delta > 0 ? -step : step)));
}
