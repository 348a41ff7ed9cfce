#include "views/skedraView.h"

#include "foundation/qfile.h"
#include "foundation/qmessage.h"
#include "foundation/qsystem.h"
#include "foundation/qtime.h"
#include "model/vcollection.h"
#include "model/vdates.h"
#include "model/vseries.h"
#include "model/vtask.h"
#include "model/vvisibility.h"
#include "platform/canvas.h"
#include "platform/ui.h"
#include "views/view_document.h"
#include "views/view_flags.h"
#include "views/view_window.h"
#include "views/zoom.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
CSkedraView* current = nullptr;
const char* const REGULAR_FACE = "MS Sans Serif";
const char* const LARGE_FACE = "Arial";
} // namespace

CSkedraView::CSkedraView(ViewDocument* doc) : rowSlots(MAX_ROWS) {
    current = this;
    document = doc;
    if (doc) {
        doc->AttachView(this);
        SetCollection(doc->Collection());
    }
}

CSkedraView::~CSkedraView() {
    if (current == this) current = nullptr;
    // The document may be gone already (it ends before the windows at exit) and then
    // has let go of us.
    if (document) document->DetachView(this);
}

CSkedraView* CSkedraView::Current() {
    return current;
}

void CSkedraView::SetCollection(VCollection* collection) {
    viewer = std::make_unique<VCollectionViewer>(collection);
    rowCount = 0;
    selectedRow = -1;
    needsRebuild = true;
    dragItem = nullptr;
    dragging = false;
    overflowReported = overflowPending = false;
    qtrace(QLOC("CSkedraView::SetCollection"),
           "CSkedraView SetColl: collViewer %p, coll %p, root %p\n", (void*)viewer.get(),
           (void*)collection, (void*)collection->root);
}

void CSkedraView::SetFolder(VNode* folder) {
    viewer->folder = folder;
    needsRebuild = true;
    if (!folder) return;
    viewer->collection->MakeView(folder);
    dropHiddenSelection();
}

void CSkedraView::dropHiddenSelection() {
    // Commands act on the selected node: one the user cannot see (the folder shown, or a
    // node of another folder) is no selection.
    VCollection& c = *viewer->collection;
    VNode* firstShown = viewer->folder ? viewer->folder->nextShown : nullptr;
    for (VNode* node = c.root; node; node = node->next)
        if ((node->tempFlags & SELECTED) && !c.InShownChain(node, firstShown))
            node->tempFlags &= ~SELECTED;
}

VNode* CSkedraView::Folder() const {
    return viewer->folder;
}

VCollection& CSkedraView::Collection() const {
    return *viewer->collection;
}

VNode* CSkedraView::SelectedRowItem() const {
    if (IsAgendaMode()) {
        int row = agendaList.ShownSelection(agendaRow);
        return row >= 0 ? agendaList.Rows()[row].item : nullptr;
    }
    if (!IsListMode() || selectedRow < 0 || selectedRow >= rowCount) return nullptr;
    VNode* row = rowSlots[selectedRow].item;
    return (row->tempFlags & SELECTED) ? row : nullptr;
}

std::optional<VWhen> CSkedraView::SelectedOccurrence() const {
    if (IsAgendaMode()) {
        int row = agendaList.ShownSelection(agendaRow);
        if (row < 0) return std::nullopt;
        return agendaList.Rows()[row].when;
    }
    VNode* item = SelectedRowItem();
    if (!item) return std::nullopt;
    VSchedule schedule = ScheduleOf(Collection(), item);
    if (schedule.rule.empty()) return std::nullopt;
    return LocalDueOf(item, schedule);
}

void CSkedraView::ForgetRows() {
    Layout(nullptr);
    selectedRow = -1;
    agendaList.Clear();
    agendaRow = -1;
}

void CSkedraView::Layout(Canvas* dc) {
    rowCount = 0;
    agendaList.Clear();
    if (!viewer && document) viewer = std::make_unique<VCollectionViewer>(document->Collection());
    VCollection& c = *viewer->collection;
    if (!dc) {
        needsRebuild = true;
        return;
    }
    c.MakeView(viewer->folder);
    if (IsAgendaMode()) {
        QDate today;
        today.SetToday();
        agendaList.Layout(c, viewer->folder->nextShown, DayOfDate(today),
                          {marginLeft, RowsTop(), listWidth, rowHeight}, MAX_ROWS,
                          printing ? rowsPerPage : 0);
        dropHiddenSelection();
        needsRebuild = false;
        return;
    }
    if (IsCalendarMode()) {
        calendar.Layout(calendarFrame(), viewer->folder->nextShown);
        if (calendar.overflowed && !overflowReported) overflowPending = overflowReported = true;
        return;
    }
    int x = marginLeft, y = RowsTop();
    for (VNode* node = viewer->folder->nextShown; node && rowCount < MAX_ROWS;
         node = node->nextShown) {
        rowSlots[rowCount++].item = node;
        node->SetRect(x, y, listWidth, rowHeight);
        y += rowHeight;
        if (printing && rowsPerPage > 0 && rowCount % rowsPerPage == 0) y = RowsTop();
    }
    dropHiddenSelection();
    needsRebuild = false;
}

void CSkedraView::ShowDeferredMessages() {
    if (!overflowPending) return;
    overflowPending = false;
    ShowMessage("No line found in cell", "Bug", MsgButtons::OK, MsgIcon::None);
}

void CSkedraView::Redraw() {
    if (window) window->Repaint();
}

void CSkedraView::SelectRow(int index) {
    // The row clicked is the one selection, wherever another flag was left.
    viewer->DeselectAll();
    selectedRow = -1;
    if (index >= 0 && index < rowCount) {
        rowSlots[index].item->tempFlags |= SELECTED;
        selectedRow = index;
    }
    Redraw();
}

int CSkedraView::HitRow(int x, int y) const {
    for (int i = 0; i < rowCount; ++i) {
        const VRect& r = rowSlots[i].item->rect;
        if (r.x <= x && r.y <= y && y < r.y + r.height) return i;
    }
    return -1;
}

void CSkedraView::FillContactList() {
    if (document) document->RefreshContactList();
}

void CSkedraView::SetViewType(int type) {
    viewType = type;
    showAgenda(false);
    if (document) document->SetGlobalInt("view_type", type);
}

void CSkedraView::ShowAgenda() {
    showAgenda(true);
}

void CSkedraView::showAgenda(bool on) {
    agenda = on;
    if (document) document->SetGlobalInt("view_agenda", on ? 1 : 0);
    Layout(nullptr);
    Redraw();
}

void CSkedraView::OnInitialUpdate() {
    if (document) LoadSettings(*document);
    scale = 1.0f;
    scrollWidth = scrollHeight = 100;
    Layout(nullptr);
}

void CSkedraView::OnPrepareDC(bool isPrinting, int page) {
    printing = isPrinting;
    if (printing) {
        currentPage = page;
        pageFirstRow = (currentPage - 1) * rowsPerPage;
    } else {
        pageFirstRow = 0;
    }
}

int CSkedraView::shownRows() const {
    return IsAgendaMode() ? (int)agendaList.Rows().size() : rowCount;
}

int CSkedraView::PageHeight() const {
    return RowsTop() + (int)((shownRows() + 5) * rowHeight * scale) + marginBottom;
}

void CSkedraView::DetermineNoofPages(Canvas& dc) {
    for (int i = 0; i < rowCount; ++i)
        rowSlots[i].item->tempFlags &= ~SELECTED;
    int w = dc.DeviceCaps(DeviceCap::HorzRes);
    int h = dc.DeviceCaps(DeviceCap::VertRes);
    int usable = h - (int)(rowHeight + 20 * scale + marginTop) - marginBottom;
    qtrace(QLOC("CSkedraView::DetermineNoofPages"), "DetermineNoofPages: %dx%d -> prtScale=%f\n", w,
           usable, w / 1000.0);
    // The height of an 8-point line with 2.1 spacing, in device units.
    int dpi = dc.DeviceCaps(DeviceCap::LogPixelsY);
    double lineHeight = (int)((8.0 * dpi + 36) / 72) * 2.1;
    rowsPerPage = lineHeight > 0 ? (int)((h - marginTop - marginBottom) / lineHeight) : 1;
    if (rowsPerPage < 1) rowsPerPage = 1;
    pageCount = (shownRows() + rowsPerPage - 1) / rowsPerPage;
    if (pageCount < 1) pageCount = 1;
    printing = true;
    Layout(&dc);
}

void CSkedraView::ExportFolder(const char* path) {
    if (!path) path = VCollection::EXPORT_FILE;
    // The folder's chain as it stands now, which is what the view shows (or will, when
    // the folder was only just chosen).
    VCollection& c = *viewer->collection;
    c.MakeView(viewer->folder);
    qstring title;
    viewer->folder->FolderTitle(title);
    qstring where = QAbsolutePath(path);
    if (!c.ExportHTML(title, viewer->folder, false, path)) {
        std::string text = std::string("Can't write file (") + where.Text() + ").";
        ShowMessage(text.c_str(), "Error", MsgButtons::OK, MsgIcon::Error);
        return;
    }
    // Without a program to show the page the user still needs to know where it is.
    if (!QNotePad(path)) {
        std::string text = std::string("The folder was exported to ") + where.Text() +
                           ", but no program could be found to open it.";
        ShowMessage(text.c_str(), "Export HTML", MsgButtons::OK, MsgIcon::Information);
    }
}

void CSkedraView::EndPrinting() {
    printing = false;
    scale = 1.0f;
    pageFirstRow = 0;
    Redraw();
    needsRebuild = true;
}

MonthCalendar::Frame CSkedraView::calendarFrame() const {
    MonthCalendar::Frame f;
    f.scale = scale;
    f.printing = printing;
    f.viewMarginLeft = marginLeft;
    f.viewMarginTop = marginTop;
    f.viewMarginRight = marginRight;
    f.viewMarginBottom = marginBottom;
    f.rowsTop = RowsTop();
    f.rowHeight = rowHeight;
    f.horzRes = horzRes;
    f.vertRes = vertRes;
    f.clientLeft = client.left;
    f.clientRight = client.right;
    f.clientBottom = client.bottom;
    f.regularFont = fontRegular;
    f.boldFont = fontBold;
    f.dragging = dragging ? dragItem : nullptr;
    return f;
}

void CSkedraView::navigated() {
    Layout(nullptr);
    Redraw();
}

void CSkedraView::NextWeek() {
    if (!IsCalendarMode())
        ganttStartDate.AddDays(7);
    else
        calendar.ScrollMonth(-1);
    navigated();
}

void CSkedraView::PreviousWeek() {
    if (!IsCalendarMode())
        ganttStartDate.AddDays(-7);
    else
        calendar.ScrollMonth(1);
    navigated();
}

void CSkedraView::GotoToday() {
    calendar.GotoToday();
    navigated();
}

void CSkedraView::ScrollMonth(int direction) {
    calendar.ScrollMonth(direction);
    navigated();
}

void CSkedraView::OnDraw(Canvas& dc, const ClientRect& clientRect) {
    client = clientRect;
    horzRes = dc.DeviceCaps(DeviceCap::HorzRes);
    vertRes = dc.DeviceCaps(DeviceCap::VertRes);
    gantt.dc = &dc;
    scale = printing ? dc.DeviceCaps(DeviceCap::LogPixelsY) / 72.0f * zoomPercent / 100.0f
                     : ViewScale(screenScale, zoomPercent);
    if (printing) needsRebuild = true;
    int margin = printing ? (int)(50 * scale) : 0;
    marginLeft = marginTop = marginBottom = margin;
    marginRight = printing ? margin : (int)(10 * scale);
    dc.SetPen(PenStyle::Solid, (int)scale, RowColour::BLACK);

    int fontHeight = (int)(-8 * scale);
    rowHeight = (int)(std::abs(fontHeight) * (printing ? 1.5 : 2.5));
    fontRegular = {fontHeight, 0, REGULAR_FACE};
    fontBold = {fontHeight, 700, REGULAR_FACE};
    fontLarge = {4 * fontHeight, 700, LARGE_FACE};
    dc.SetFont(fontRegular.height, fontRegular.weight, fontRegular.face);

    int fullWidth = (printing ? dc.DeviceCaps(DeviceCap::HorzRes) - marginLeft
                              : client.right - marginLeft - client.left) -
                    marginRight;
    listWidth = fullWidth;
    bool gantt = (viewFlags & VIEW_GANTT) && IsListMode();
    if (gantt)
        listWidth = printing ? (int)(dc.DeviceCaps(DeviceCap::HorzRes) * 0.4) : (int)(450 * scale);
    if (needsRebuild || listWidth == 0) Layout(&dc);

    dc.SetTransparentBackground();
    qstring title;
    viewer->folder->FolderTitle(title);
    // The agenda is about days: its heading names today as its rows name theirs, in the
    // document's date format; the list and the calendar keep their fixed form.
    std::string date = QCurrentDateText("%d-%m-%Y");
    if (IsAgendaMode()) {
        QDate today;
        today.SetToday();
        date = viewer->collection->FormatDate(today);
    }
    char heading[2048];
    if (printing)
        std::snprintf(heading, sizeof heading, "%s on %s - page %d of %d", title.Text(),
                      date.c_str(), currentPage, pageCount);
    else
        std::snprintf(heading, sizeof heading, "%s on %s", title.Text(), date.c_str());
    dc.SetFont(fontBold.height, fontBold.weight, fontBold.face);
    dc.SetTextColour(RowColour::BLACK);
    dc.Text(marginLeft + (int)(8 * scale), marginTop + (int)(15 * scale), heading);

    VCollection& c = *viewer->collection;
    if (IsListMode() && !printing && !c.root->next) {
        dc.SetFont(fontRegular.height, fontRegular.weight, fontRegular.face);
        dc.Text(marginLeft + (int)(8 * scale), marginTop + (int)(100 * scale),
                "Use the menu above to create a folder and add some items.");
        dc.Text(marginLeft + (int)(8 * scale), marginTop + (int)(120 * scale),
                "Press F1 for help and tutorials on getting started.");
    }

    if (IsCalendarMode()) {
        MonthCalendar::Frame frame = calendarFrame();
        calendar.Paint(dc, frame);
        if (dragging && dragItem) calendar.PaintDragMarker(dc, frame, dragItem, dragX, dragY);
        scrollWidth = client.right - client.left;
        scrollHeight = client.bottom - client.top;
        return;
    }
    paintRows(dc);
    if (gantt) paintGantt(fullWidth);
    scrollWidth = PageWidth() + (gantt ? fullWidth - listWidth : 0);
    scrollHeight = PageHeight();
}

bool CSkedraView::rowVisible(const VNode* item, const CanvasRect& clip) const {
    // A row also draws one pixel above itself (its separator) and the chart's grid line.
    return item->rect.y + item->rect.height + 1 >= clip.top && item->rect.y - 2 <= clip.bottom;
}

void CSkedraView::paintRows(Canvas& dc) {
    viewer->paintDC = &dc;
    viewer->scale = scale;
    viewer->regularFont = fontRegular;
    viewer->boldFont = fontBold;
    CanvasRect clip = dc.ClipBox();
    int last = printing ? pageFirstRow + rowsPerPage : 9999;
    if (IsAgendaMode()) {
        agendaList.Paint(*viewer, clip, agendaRow, pageFirstRow, last);
        return;
    }
    for (int i = pageFirstRow; i < rowCount && i < last; ++i)
        if (rowVisible(rowSlots[i].item, clip)) rowSlots[i].item->Paint(*viewer);
}

void CSkedraView::paintGantt(int fullWidth) {
    gantt.SetOrigin(listWidth + marginLeft, RowsTop());
    gantt.SetWidth(fullWidth - listWidth);
    gantt.SetRowHeight(rowHeight);
    gantt.SetFonts(fontRegular, fontBold);
    gantt.scale = scale;
    gantt.firstDay = ganttStartDate;
    gantt.days = ganttDaysInView;
    gantt.showProgress = (viewFlags & VIEW_PROGRESS) != 0;
    gantt.DrawHeader((viewFlags & VIEW_DAYS) ? 7 : 6);

    CanvasRect clip = gantt.dc->ClipBox();
    int last = printing ? pageFirstRow + rowsPerPage : 9999;
    for (int i = pageFirstRow, rowIndex = 0; i < rowCount && i < last; ++i, ++rowIndex) {
        VNode* item = rowSlots[i].item;
        if (!rowVisible(item, clip)) continue;
        int flags = (item->nextShown ? 0 : GanttChart::LAST_ROW) |
                    ((item->tempFlags & SELECTED) ? GanttChart::SELECTED_ROW : 0) |
                    (IsFolder(item) ? GanttChart::FOLDER_ROW : 0);
        int progress = 100;
        qstring start, end;
        bool dated = false;
        if (item->HasDates()) {
            auto* task = static_cast<VTask*>(item);
            start = task->startDate;
            QDate first, finish;
            end = task->Span(first, finish) ? DateText(finish) : qstring("");
            if (gantt.showProgress) progress = task->completion;
            dated = true;
        } else if (IsFolder(item)) {
            auto* folder = static_cast<VGroup*>(item);
            start = folder->firstStart;
            end = folder->lastEnd;
            dated = true;
        }
        gantt.DrawRow(item->rect.y, rowIndex, flags, dated ? start.Text() : nullptr,
                      dated ? end.Text() : nullptr, progress, item);
    }
}
