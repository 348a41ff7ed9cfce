#include "views/month_calendar.h"

#include "model/vcollection.h"
#include "model/vdates.h"
#include "model/vseries.h"
#include "model/vschedule.h"
#include "model/vtask.h"
#include "platform/canvas.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

const char* const MONTH_NAMES[12] = {"January",   "February", "March",    "April",
                                     "May",       "June",     "July",     "August",
                                     "September", "October",  "November", "December"};
const char* const MONTH_SHORT[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const DAY_NAMES[7] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

constexpr Colour TODAY_FILL{230, 230, 255};
constexpr Colour SELECTED_CELL{208, 208, 240};
constexpr Colour MONTH_CELL{255, 255, 220};
constexpr Colour GREY{128, 128, 128};
constexpr Colour DRAG_FILL{200, 240, 200}, DRAG_PEN{160, 192, 160};
constexpr Colour SELECTED_PEN{8, 28, 84}; // its fill is the rows' selection blue
constexpr Colour BAR_FILL{179, 220, 108}, BAR_PEN{143, 176, 86};

QDate mondayOfFirst(QDate d) {
    d.ToFirstOfMonth();
    d.ToMonday();
    return d;
}

int at(double value) {
    return (int)value;
}

// A bar's text: the item's time of day, if it has one, before its short text.
std::string barText(const VNode& item) {
    qstring text;
    item.Describe(text, true);
    VSchedule schedule = ScheduleOf(*item.collection, &item);
    std::optional<int> minute =
        ScheduleKindOf(&item) == ScheduleKind::Action ? schedule.startMinute : schedule.dueMinute;
    return minute ? MinuteText(*minute) + " " + text.Text() : std::string(text.Text());
}

} // namespace

MonthCalendar::MonthCalendar() {
    GotoToday();
}

void MonthCalendar::GotoToday() {
    QDate today;
    today.SetToday();
    gridStart = mondayOfFirst(today);
}

void MonthCalendar::ScrollMonth(int direction) {
    QDate d = gridStart;
    d.AddDays(7);
    int month = d.Month();
    while (d.Month() == month)
        d.AddDays(direction <= 0 ? -7 : 7);
    gridStart = mondayOfFirst(d);
}

void MonthCalendar::placeCells(int cellWidth) {
    QDate shown = gridStart;
    shown.AddDays(7);
    int cellHeight = (y1 - y0) / weekRows;
    for (int w = 0; w < WEEKS; ++w)
        for (int k = 0; k < 7; ++k) {
            CalendarCell& cell = cells[w * 7 + k];
            cell.x = x0 + k * cellWidth;
            cell.y = y0 + w * cellHeight;
            cell.w = cellWidth;
            cell.h = cellHeight;
            cell.date = gridStart;
            cell.date.AddDays(7 * w + k);
            cell.lineCount = 0;
            cell.flags = (cell.flags & CalendarCell::SELECTED) |
                         (cell.date.Month() == shown.Month() ? CalendarCell::IN_MONTH : 0);
        }
}

void MonthCalendar::Layout(const Frame& f, VNode* firstShown) {
    double s = f.scale;
    marginLeft = at(60 * s);
    marginRight = at(40 * s);
    marginTop = at(20 * s);
    marginBottom = at(30 * s);
    if (f.printing) {
        x0 = f.viewMarginLeft + marginLeft;
        y0 = f.rowsTop;
        x1 = f.horzRes - f.viewMarginRight - f.viewMarginLeft - marginRight;
        y1 = f.vertRes - f.viewMarginBottom - f.viewMarginTop;
    } else {
        x0 = marginLeft;
        y0 = f.rowsTop;
        x1 = f.clientRight - marginRight;
        y1 = f.clientBottom - marginBottom;
    }
    weekRows = WEEKS;
    int cellWidth = (x1 - x0) / 7;
    placeCells(cellWidth);
    if (!(cells[5 * 7].flags & CalendarCell::IN_MONTH)) {
        weekRows = 5;
        placeCells(cellWidth);
    }

    actions.clear();
    dueItems.clear();
    for (VNode* n = firstShown; n; n = n->nextShown)
        if (n->HasDates() && (int)actions.size() < MAX_ACTIONS)
            actions.push_back(n);
        else if (ScheduleKindOf(n) == ScheduleKind::Due && (int)dueItems.size() < MAX_ACTIONS)
            dueItems.push_back(n);
    for (size_t j = 0; j < actions.size(); ++j)
        for (size_t k = j + 1; k < actions.size(); ++k)
            if (static_cast<VTask*>(actions[k])->duration >
                static_cast<VTask*>(actions[j])->duration)
                std::swap(actions[j], actions[k]);
    overflowed = false;
    for (VNode* action : actions)
        if (!(action->flags & NO_DATE))
            placeOccurrences(action, std::max(1, static_cast<VTask*>(action)->duration));
    for (VNode* item : dueItems)
        placeOccurrences(item, 1);
}

void MonthCalendar::placeOccurrences(VNode* node, int days) {
    VSchedule schedule = ScheduleOf(*node->collection, node);
    std::optional<VWhen> due = DueOf(node, schedule);
    if (!due) return;
    long first = DayOfDate(gridStart);
    // A repeat shows every occurrence whose days meet the grid (of one that repeats more
    // often than vrecurrence lists, the first ones).
    for (const VWhen& when : SeriesOccurrences(schedule, *due, first - (days - 1), first + 41).found)
        placeSpan(node, DateOfDay(when.day), DateOfDay(when.day + days - 1));
}

void MonthCalendar::placeSpan(VNode* node, const QDate& s0, const QDate& e0) {
    if (!(gridStart.DaysBetween(s0) < 42 && e0.DaysBetween(gridStart) <= 0)) return;
    auto inside = [&](const QDate& d) { return s0.DaysBetween(d) >= 0 && e0.DaysBetween(d) <= 0; };

    CalendarCell* previous = nullptr;
    for (int w = 0; w < WEEKS; ++w) {
        bool used[10] = {};
        bool first = true;
        bool any = false;
        for (int k = 0; k < 7; ++k) {
            CalendarCell& cell = cells[w * 7 + k];
            if (!inside(cell.date)) continue;
            any = true;
            for (int l = 0; l < cell.lineCount; ++l)
                used[cell.lines[l].slot] = true;
        }
        if (!any) continue;
        int slot = 0;
        while (slot < 10 && used[slot])
            ++slot;
        if (slot == 10) {
            // Reported after the paint, never from inside it; the bar leaves this week out.
            overflowed = true;
            previous = nullptr;
            continue;
        }
        for (int k = 0; k < 7; ++k) {
            CalendarCell& cell = cells[w * 7 + k];
            if (!inside(cell.date) || cell.lineCount >= 10) continue;
            CalendarLine& line = cell.lines[cell.lineCount++];
            line = CalendarLine{};
            line.item = node;
            line.firstDay = first;
            first = false;
            line.slot = slot;
            if (previous) {
                line.continuation |= 1;
                previous->lines[previous->lineCount - 1].continuation |= 2;
            }
            previous = &cell;
        }
    }
}

void MonthCalendar::Paint(Canvas& dc, const Frame& f) {
    double s = f.scale;
    QDate shown = gridStart;
    shown.AddDays(7);
    char title[64];
    int month = shown.Month();
    std::snprintf(title, sizeof title, "%s %d", month >= 1 ? MONTH_NAMES[month - 1] : "",
                  shown.Year());
    dc.SetFont(f.boldFont.height, f.boldFont.weight, f.boldFont.face);
    dc.SetTextColour(RowColour::BLACK);
    dc.Text(at((f.clientLeft + f.clientRight) / 2 - 40 * s), at(marginTop + 15 * s), title);
    for (int i = 0; i < 7; ++i)
        dc.Text(at(x0 + i * cells[0].w + 8 * s), at(y0 - f.rowHeight - 2 * s), DAY_NAMES[i]);

    QDate today;
    today.SetToday();
    int previousMonth = -1;
    dc.SetFont(f.regularFont.height, f.regularFont.weight, f.regularFont.face);
    for (int c = 0; c < weekRows * 7; ++c) {
        CalendarCell& cell = cells[c];
        int x = cell.x, y = cell.y, w = cell.w, h = cell.h;
        dc.SetPen(PenStyle::Solid, 1, RowColour::BLACK);
        CanvasRect box{x, y, x + w + at(s), y + h + at(s)};
        dc.FillRect(box, RowColour::WHITE);
        dc.Rectangle(box);
        CanvasRect inner{x + at(s), y + at(s), x + w, y + h};
        if (cell.date == today)
            dc.FillRect(inner, TODAY_FILL);
        else if (cell.flags & CalendarCell::SELECTED)
            dc.FillRect(inner, SELECTED_CELL);
        else if (cell.flags & CalendarCell::IN_MONTH)
            dc.FillRect(inner, MONTH_CELL);
        dc.SetPen(PenStyle::Solid, 1, GREY);
        dc.MoveTo(x + 1, y + f.rowHeight);
        dc.LineTo(x + w, y + f.rowHeight);

        char label[32];
        int cellMonth = cell.date.Month();
        if (cellMonth != previousMonth && cellMonth >= 1)
            std::snprintf(label, sizeof label, "%s %d", MONTH_SHORT[cellMonth - 1],
                          cell.date.Day());
        else
            std::snprintf(label, sizeof label, "%d", cell.date.Day());
        previousMonth = cellMonth;
        dc.SetTextColour(RowColour::BLACK);
        dc.Text(at(x + 8 * s), at(y + 3 * s), label);

        for (int l = 0; l < cell.lineCount; ++l) {
            CalendarLine& line = cell.lines[l];
            int left = (line.continuation & 1) ? x : at(x + 2 * s);
            int top = at(y + 2 * s + (line.slot + 1) * f.rowHeight);
            int right = (line.continuation & 2) ? at(x + w + s) : at(x + w - s);
            int bottom = at(top + f.rowHeight - 2 * s);
            line.rect = {left, top, right, bottom};
            bool dragged = f.dragging && f.dragging == line.item;
            bool selected = line.item->tempFlags & SELECTED;
            Colour fill = dragged ? DRAG_FILL : selected ? RowColour::SELECTION_BLUE : BAR_FILL;
            Colour pen = dragged ? DRAG_PEN : selected ? SELECTED_PEN : BAR_PEN;
            dc.FillRect({left, top, right, bottom}, fill);
            dc.SetPen(PenStyle::Solid, 1, pen);
            dc.MoveTo(left, top);
            dc.LineTo(right, top);
            dc.MoveTo(left, bottom);
            dc.LineTo(right, bottom);
            if (!(line.continuation & 2)) {
                dc.MoveTo(right - at(s), top);
                dc.LineTo(right - at(s), bottom);
            }
            if (!(line.continuation & 1)) {
                dc.MoveTo(left + at(s), top);
                dc.LineTo(left + at(s), bottom);
            }
            if (line.firstDay) {
                std::string text = barText(*line.item);
                dc.SetTextColour(
                    TextColourOn(selected && !dragged ? RowColour::WHITE : RowColour::BLACK, fill));
                // The text may run on over the bar's next days, but never past the grid.
                const CalendarCell& weekEnd = cells[c / 7 * 7 + 6];
                dc.TextEllipsis({at(x + 8 * s), at(top + 3 * s), weekEnd.x + weekEnd.w, bottom},
                                text);
            }
        }
    }
    dc.SetPen(PenStyle::Solid, at(s) < 1 ? 1 : at(s), RowColour::BLACK);
}

void MonthCalendar::PaintDragMarker(Canvas& dc, const Frame& f, const VNode* item, int px, int py) {
    int cw = cells[0].w;
    CanvasRect r{px - cw / 2, py - f.rowHeight / 2, px + cw / 2, py + f.rowHeight / 2};
    dc.FillRect(r, RowColour::SELECTION_BLUE);
    qstring text;
    item->Describe(text, true);
    dc.SetTextColour(RowColour::WHITE);
    dc.Text(at(r.left + 8 * f.scale), at(r.top + 3 * f.scale), text.Text());
}

VNode* MonthCalendar::HitItem(int x, int y) const {
    for (int c = 0; c < weekRows * 7; ++c)
        for (int l = 0; l < cells[c].lineCount; ++l) {
            const CanvasRect& r = cells[c].lines[l].rect;
            if (r.left <= x && x <= r.right && r.top <= y && y <= r.bottom)
                return cells[c].lines[l].item;
        }
    return nullptr;
}

CalendarCell* MonthCalendar::HitCell(int x, int y) {
    for (int c = 0; c < weekRows * 7; ++c) {
        CalendarCell& cell = cells[c];
        if (cell.x <= x && x <= cell.x + cell.w - 1 && cell.y <= y && y <= cell.y + cell.h - 1)
            return &cell;
    }
    return nullptr;
}

CalendarCell* MonthCalendar::SelectedCell() {
    for (int c = 0; c < weekRows * 7; ++c)
        if (cells[c].flags & CalendarCell::SELECTED) return &cells[c];
    return nullptr;
}

void MonthCalendar::DeselectCells() {
    for (int c = 0; c < weekRows * 7; ++c)
        cells[c].flags &= ~CalendarCell::SELECTED;
}
