#include "views/gantt.h"

#include "model/vcollection.h"
#include "model/vdates.h"
#include "model/vvisibility.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

// The bands of the contact highlight and the selection, and white and black, are the rows'.
constexpr Colour HEADER_FILL{255, 255, 192};
constexpr Colour WEEKEND{230, 230, 230};
constexpr Colour GRID{210, 210, 210};
constexpr Colour OVERDUE_BAR{211, 63, 63};
constexpr Colour RUNNING_BAR{98, 142, 101};
constexpr Colour OTHER_BAR{192, 192, 192};

const char* const MONTH_NAMES[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The week of the year of a date, weeks starting on Sunday ("%U").
int weekOfYear(const QDate& d) {
    std::time_t t = (std::time_t)d.Seconds();
    std::tm tm{};
    localtime_r(&t, &tm);
    char text[8];
    std::strftime(text, sizeof text, "%U", &tm);
    return std::atoi(text);
}

int bitsSet(int bands) {
    return (bands & 1) + ((bands >> 1) & 1) + ((bands >> 2) & 1);
}

} // namespace

GanttChart::GanttChart() {
    firstDay.SetToday();
}

void GanttChart::drawBox(int x, int y, int w, int h, Colour fill, Colour outline, int progress) {
    if (progress >= 100) {
        dc->FillRect({x, y, x + w, y + h}, fill);
    } else {
        // A completion outside 0..100 comes only from a damaged document: keep it in the bar.
        int done = x + w * (progress < 0 ? 0 : progress) / 100;
        dc->FillRect({x, y, done, y + h}, fill);
        dc->FillRect({done, y, x + w, y + h}, RowColour::WHITE);
    }
    dc->SetPen(PenStyle::Solid, 1, outline);
    dc->MoveTo(x, y);
    dc->LineTo(x + w, y);
    dc->MoveTo(x, y + h);
    dc->LineTo(x + w, y + h);
    dc->MoveTo(x, y);
    dc->LineTo(x, y + h);
    dc->MoveTo(x + w - 1, y);
    dc->LineTo(x + w - 1, y + h);
}

void GanttChart::vLine(int x, int y, bool dotted) {
    dc->SetPen(dotted ? PenStyle::Dotted : PenStyle::Solid, 1, RowColour::BLACK);
    dc->MoveTo(x, y);
    dc->LineTo(x, y + rowHeight);
}

void GanttChart::DrawHeader(int bands) {
    if (!dc) return;
    int y = y0 - rowHeight * bitsSet(bands) - s(1);
    dc->SetFont(headerFont.height, headerFont.weight, headerFont.face);
    dc->SetTextColour(RowColour::BLACK);
    if (bands & WEEKS) {
        drawBox(x0, y, width - s(1), rowHeight, HEADER_FILL, RowColour::BLACK, 100);
        int weeks = days / 7;
        QDate d = firstDay;
        for (int i = 0; i < weeks; ++i) {
            int x = WeekX(i);
            vLine(x, y, false);
            bool wide = width / weeks > 40;
            char text[16];
            std::snprintf(text, sizeof text, wide ? "wk %d" : "%d", weekOfYear(d));
            dc->Text(x + s(2), y + s(2), text);
            d.AddDays(7);
        }
        y += rowHeight;
    }
    if (bands & MONTHS) {
        drawBox(x0, y, width - s(1), rowHeight, HEADER_FILL, RowColour::BLACK, 100);
        QDate d = firstDay;
        int last = -1;
        for (int i = 0; i < days; ++i) {
            int month = d.Month();
            if (month != last) {
                int x = DayX(i);
                vLine(x, y, false);
                if (month >= 1 && month <= 12) dc->Text(x + s(2), y + s(2), MONTH_NAMES[month - 1]);
                last = month;
            }
            d.AddDays(1);
        }
        y += rowHeight;
    }
    if (bands & DAYS) {
        drawBox(x0, y, width - s(1), rowHeight, HEADER_FILL, RowColour::BLACK, 100);
        QDate d = firstDay;
        for (int i = 0; i < days; ++i) {
            int x = DayX(i);
            vLine(x, y, false);
            dc->Text(x + s(2), y + s(2), d.Format(1));
            d.AddDays(1);
        }
    }
}

void GanttChart::DrawRow(int y, int rowIndex, int rowFlags, const char* startText,
                         const char* endText, int progress, VNode* item) {
    if (!dc || days <= 0) return;
    int right = x0 + width - s(1);
    int top = y - s(1);
    int bottom = top + rowHeight;
    int column = days > 0 ? width / days : 0;

    QDate d = firstDay;
    for (int i = 0; i < days; ++i) {
        if (d.IsWeekend()) {
            int x = DayX(i);
            dc->FillRect({x, y, x + column + s(1), y + rowHeight + 1}, WEEKEND);
        }
        d.AddDays(1);
    }
    int gridY = top + s(0.5);
    if (rowIndex % 5 == 0)
        dc->SetPen(PenStyle::Dotted, 1, RowColour::BLACK);
    else
        dc->SetPen(PenStyle::Solid, 1, GRID);
    dc->MoveTo(x0, gridY);
    dc->LineTo(right, gridY);
    if (rowFlags & LAST_ROW) {
        dc->SetPen(PenStyle::Solid, s(1) < 1 ? 1 : s(1), RowColour::BLACK);
        dc->MoveTo(x0, bottom + s(0.5));
        dc->LineTo(right, bottom + s(0.5));
    }
    const VCollection& c = *item->collection;
    if (c.contactFilter && item->HasContact(c.contactFilter) && !(c.filterFlags & 16))
        dc->FillRect({x0, top + s(1), right, bottom}, RowColour::CONTACT_GREEN);
    if (rowFlags & SELECTED_ROW)
        dc->FillRect({x0, top + s(1), right, bottom}, RowColour::SELECTION_BLUE);
    for (int i = 0; i < days / 7; ++i)
        vLine(WeekX(i), y, i > 0);

    drawBar(top, startText, endText, rowFlags, progress, item);
    drawTodayMarker(top);
}

void GanttChart::drawBar(int top, const char* startText, const char* endText, int rowFlags,
                         int progress, VNode* item) {
    int ends = 3;
    if ((startText && !startText[0]) || (endText && !endText[0])) return;
    if (!IsFolder(item) && (item->flags & NO_DATE)) return;
    if (!startText) return;
    QDate start;
    if (!ParseDate(startText, start)) return;
    int ds = firstDay.DaysBetween(start);
    if (ds > days) return;
    if (ds < 0) {
        ds = 0;
        ends = 2;
    }
    if (!endText) return;
    QDate end;
    if (!ParseDate(endText, end)) return;
    int de = firstDay.DaysBetween(end);
    if (de > days) {
        de = days;
        ends &= ~2;
    } else if (de < 0) {
        return;
    }
    int xs = (int)((long long)width * ds / days);
    int xe = (int)((long long)width * de / days);
    Colour fill = (item->tempFlags & OVERDUE)   ? OVERDUE_BAR
                  : (item->tempFlags & RUNNING) ? RUNNING_BAR
                                                : OTHER_BAR;
    Colour outline = (rowFlags & SELECTED_ROW) ? RowColour::WHITE : RowColour::BLACK;
    if (rowFlags & FOLDER_ROW)
        drawSummaryBar(x0 + xs, top + (int)(0.1 * rowHeight), xe - xs, (int)(0.8 * rowHeight), fill,
                       ends);
    else
        drawBox(x0 + xs, top + (int)(0.25 * rowHeight), xe - xs, (int)(0.5 * rowHeight), fill,
                outline, progress);
}

void GanttChart::drawSummaryBar(int x, int y, int w, int h, Colour fill, int ends) {
    int half = h / 2;
    int left = (ends & 1) ? x - s(8) : x;
    int right = (ends & 2) ? x + w + s(8) : x + w;
    dc->FillRect({left, y, right, y + half}, fill);
    int n = s(19);
    dc->SetPen(PenStyle::Solid, 1, fill);
    for (int bit : {1, 2}) {
        if (!(ends & bit) || n <= 0) continue;
        int l = bit == 1 ? left : x + w - n + s(8);
        for (int i = 0; i < n; ++i) {
            dc->MoveTo(l + n / 2, y + 2 * half);
            dc->LineTo(l + i, y + half - 1);
        }
    }
}

void GanttChart::drawTodayMarker(int top) {
    QDate today;
    today.SetToday();
    int t = firstDay.DaysBetween(today);
    if (t < 0 || t > days) return;
    int xo = (int)((long long)width * t / days);
    dc->FillRect({x0 + xo, top + s(1), x0 + xo + s(2), top + s(1) + rowHeight}, RowColour::BLACK);
}
