// CSkedraView: the item view without its window: the rows of the current folder, the
// paint pass (margins, fonts, heading, hints, rows, Gantt chart) on a canvas, the
// selection and hit testing. The wx window hands it a canvas to paint on.
#pragma once

#include "model/vschedule.h"

#include <optional>

#include "model/vcollviewer.h"
#include "model/vpaint.h"
#include "views/agenda_list.h"
#include "views/gantt.h"
#include "views/month_calendar.h"
#include "views/view_state.h"

#include <memory>
#include <vector>

class Canvas;
class ViewDocument;
class ViewWindow;
class VCollection;
class VNode;

// The keys the item view answers; anything else is left to the platform.
enum class ViewKey {
    Down,
    Up,
    Home,
    End,
    PageUp,
    PageDown,
    Space,
    Delete,
    Enter,
    F2,
    Backspace,
    F,
    Other
};

struct RowSlot {
    VNode* item = nullptr;
};

// What the right button was pressed on, now selected: in the list a row's item, or none
// below the rows; in the calendar an item, or none between them.
struct RightClick {
    bool inList;
    VNode* item;
};

class CSkedraView : public ItemViewState {
  public:
    static constexpr int MAX_ROWS = 1000;

    explicit CSkedraView(ViewDocument* document);
    ~CSkedraView() override;
    static CSkedraView* Current();

    void SetCollection(VCollection* collection);
    void CollectionChanged(VCollection* collection) override { SetCollection(collection); }
    void DocumentChanged() override { overflowReported = false; }
    void SetFolder(VNode* folder);
    VNode* Folder() const;
    // Rebuilds the rows on this canvas; without one it only marks them for the next paint.
    void Layout(Canvas* dc);
    void SelectRow(int index);
    int HitRow(int x, int y) const;
    void FillContactList();
    void SetViewType(int type);
    // The agenda instead of the list or the calendar, until a view type is chosen.
    void ShowAgenda();
    void OnInitialUpdate();
    void OnPrepareDC(bool printing, int page = 1);

    // Printing: the pages of this printer (rows per page, page count), and the screen's
    // metrics back afterwards.
    void DetermineNoofPages(Canvas& printer);

    // Writes the folder's items as a web page at path (export.htm in the current folder
    // without one) and shows it.
    void ExportFolder(const char* path = nullptr);
    void EndPrinting();

    // Navigation: the week commands move the Gantt chart a week in list mode and show the
    // previous (next week) or next (previous week) month in calendar mode.
    void NextWeek();
    void PreviousWeek();
    void GotoToday();
    void ScrollMonth(int direction);

    // The window's client area in device units.
    struct ClientRect {
        int left, top, right, bottom;
    };
    // The paint pass; afterwards ScrollWidth/ScrollHeight give the scroll sizes.
    void OnDraw(Canvas& dc, const ClientRect& client);

    // Pointer and keys (skedraView_pointer.cpp, skedraView_keys.cpp). Positions are on
    // the scrolled page; the window has done its own handling of the event first.
    void OnLButtonDown(int x, int y);
    void OnLButtonUp(int x, int y);
    void OnLButtonDblClk(int x, int y);
    void OnMouseMove(int x, int y, bool leftDown);
    // The wheel; with `zoom` (Ctrl held) it asks for the zoom commands instead, a notch
    // a step.
    void OnMouseWheel(int delta, bool zoom = false);
    RightClick OnRButtonDown(int x, int y);
    void OnKeyDown(ViewKey key);
    // Whether the point lies on the check box of the row's item.
    bool InCheckBox(const VNode* item, int x, int y) const;
    // A folder becomes the current folder (and the tree's selection); any other item
    // runs its Open.
    void OpenItem(VNode* item);
    // The item's dialog; a confirmed edit is one change of the document.
    void EditItem(VNode* item);
    // The window around the view; none headless.
    void SetWindow(ViewWindow* around) { window = around; }
    // Asks the window around the view, if any, for a paint.
    void Redraw();

    // Messages that the paint pass found but must not show itself: the window shows
    // them once the paint is over.
    bool HasDeferredMessage() const { return overflowPending; }
    void ShowDeferredMessages();

    int RowsTop() const { return marginTop + (int)(70 * scale); }
    int PageWidth() const { return listWidth + marginLeft + marginRight; }
    int PageHeight() const;
    bool IsListMode() const { return viewType != 1 && !agenda; }
    bool IsAgendaMode() const { return agenda; }
    bool IsCalendarMode() const { return viewType == 1 && !agenda; }

    // The collection shown and the viewer that paints its rows (the remote view borrows it).
    VCollection& Collection() const;
    VCollectionViewer* Viewer() const { return viewer.get(); }

    // The rows of the last layout, in list mode.
    int RowCount() const { return rowCount; }
    VNode* RowItem(int index) const { return rowSlots[index].item; }
    // The row the pointer or the keys selected, while its item is still selected; else
    // none (the selection may have moved elsewhere since).
    VNode* SelectedRowItem() const;
    // The occurrence the selected row stands for, as local time: an agenda row's, or a
    // repeating item's due one in the list; none for anything else.
    std::optional<VWhen> SelectedOccurrence() const;
    // No row may point at a node that is about to go: the rows are rebuilt at the next
    // paint.
    void ForgetRows();

    // The geometry of the last paint.
    float Scale() const { return scale; }
    int RowHeight() const { return rowHeight; }
    int ListWidth() const { return listWidth; }
    int MarginLeft() const { return marginLeft; }
    int MarginRight() const { return marginRight; }
    int ScrollWidth() const { return scrollWidth; }
    int ScrollHeight() const { return scrollHeight; }
    const GanttChart& Gantt() const { return gantt; }
    // The agenda mode's rows.
    const AgendaList& Agenda() const { return agendaList; }
    // The calendar mode's month grid; its month is chosen through it.
    MonthCalendar& Calendar() { return calendar; }

    // Printing: the rows a page holds, the pages, and the first row of the current page.
    int RowsPerPage() const { return rowsPerPage; }
    int PageCount() const { return pageCount; }
    int PageFirstRow() const { return pageFirstRow; }

    // The pointer: the item pressed on, and whether it is being dragged in the calendar.
    const VNode* PressedItem() const { return dragItem; }
    bool Dragging() const { return dragging; }

  private:
    std::unique_ptr<VCollectionViewer> viewer;
    std::vector<RowSlot> rowSlots;
    int rowCount = 0;
    int selectedRow = -1;
    int rowHeight = 0;
    int listWidth = 0;
    float scale = 1.0f;
    int marginLeft = 0, marginTop = 0, marginRight = 0, marginBottom = 0;
    FontSpec fontRegular, fontBold, fontLarge;
    GanttChart gantt;
    MonthCalendar calendar;
    AgendaList agendaList;
    int agendaRow = -1;        // the agenda's row chosen by the pointer or the keys
    VNode* dragItem = nullptr; // pressed on; in list mode it starts a drag when moved
    bool dragging = false;
    int dragX = 0, dragY = 0;
    int rowsPerPage = 0, pageCount = 0, currentPage = 0, pageFirstRow = 0;
    bool printing = false;
    int scrollWidth = 100, scrollHeight = 100;
    ClientRect client{0, 0, 0, 0}; // of the last paint
    int horzRes = 0, vertRes = 0;
    ViewWindow* window = nullptr; // the window around the view, if any

    void showAgenda(bool on);
    void dropHiddenSelection();
    void showFolder(VNode* folder);
    void scrollIntoView(const VNode* item);
    // The keys that choose another row: by `rows` (negative: up), at most to the ends.
    void moveSelection(int rows);
    void moveAgendaSelection(int rows);
    // A window's height of rows less one, at least one: what the page keys move by.
    int pageRows() const;
    void listButtonDown(int x, int y);
    void agendaButtonDown(int x, int y);
    // The agenda's row at the point, its item's rectangle on it; none for no row.
    VNode* agendaItemAt(int x, int y);
    void selectAgendaRow(int row);
    int shownRows() const;
    // A press on a row's item: its check box ticks it, elsewhere a drag may start.
    void pressRow(VNode* item, int x, int y);
    void tick(VNode* item);
    void calendarButtonDown(int x, int y);
    void addActionOnSelectedDay();
    void moveDraggedAction(int x, int y);
    // "No line found in cell": found by a layout, shown once per change of the document.
    bool overflowReported = false;
    bool overflowPending = false;

    MonthCalendar::Frame calendarFrame() const;
    void navigated();
    void paintRows(Canvas& dc);
    bool rowVisible(const VNode* item, const CanvasRect& clip) const;
    void paintGantt(int fullWidth);
};
