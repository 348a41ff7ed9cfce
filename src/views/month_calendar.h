// MonthCalendar: calendar mode of the item view: one month as weeks of day cells, the
// dated actions of the shown chain drawn as bars on lines inside the cells, and the items
// due on a day as one-day bars; a repeating item shows on the day of each occurrence.
#pragma once

#include "foundation/date.h"
#include "model/vpaint.h"

#include <vector>

class Canvas;
class VNode;

struct CalendarLine {
    VNode* item = nullptr;
    bool firstDay = false; // the bar's text is written in this cell
    int slot = 0;          // 0 to 9, the vertical position in the cell
    int continuation = 0;  // 1: continued from the left; 2: continues to the right
    CanvasRect rect{0, 0, 0, 0};
};

struct CalendarCell {
    enum Flags { IN_MONTH = 4, SELECTED = 8 };
    QDate date;
    int x = 0, y = 0, w = 0, h = 0;
    int flags = 0;
    int lineCount = 0;
    CalendarLine lines[10];
};

class MonthCalendar {
  public:
    static constexpr int WEEKS = 6;
    static constexpr int MAX_ACTIONS = 500;

    MonthCalendar();

    void GotoToday();
    void ScrollMonth(int direction);

    // The view's geometry that a layout and a paint need.
    struct Frame {
        float scale = 1.0f;
        bool printing = false;
        int viewMarginLeft = 0, viewMarginTop = 0, viewMarginRight = 0, viewMarginBottom = 0;
        int rowsTop = 0, rowHeight = 20;
        int horzRes = 0, vertRes = 0;
        int clientLeft = 0, clientRight = 0, clientBottom = 0;
        FontSpec regularFont, boldFont;
        const VNode* dragging = nullptr; // the item being dragged, if any
    };
    // Lays out the cells and places the dated actions of the chain that starts after first.
    void Layout(const Frame& frame, VNode* firstShown);
    void Paint(Canvas& dc, const Frame& frame);
    void PaintDragMarker(Canvas& dc, const Frame& frame, const VNode* item, int x, int y);

    VNode* HitItem(int x, int y) const;
    CalendarCell* HitCell(int x, int y);
    CalendarCell* SelectedCell();
    void DeselectCells();

    int weekRows = WEEKS;
    QDate gridStart;
    std::vector<VNode*> actions;
    std::vector<VNode*> dueItems; // items with a due date of their own, in chain order
    int marginLeft = 0, marginRight = 0, marginTop = 0, marginBottom = 0;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    CalendarCell cells[WEEKS * 7];
    // The last layout found a week row without a free line for an action ("No line found
    // in cell"); that part of the bar is left out and the other actions are still placed.
    bool overflowed = false;

  private:
    void placeCells(int cellWidth);
    // Every occurrence of the item (of so many days each) that meets the grid.
    void placeOccurrences(VNode* item, int days);
    void placeSpan(VNode* item, const QDate& first, const QDate& last);
};
