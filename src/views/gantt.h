// GanttChart: beside the list, a strip of day columns with header bands (weeks, months,
// days), weekends, grid lines, bars for actions, summary bars for folders and today's
// marker. The view sets it up for every paint and feeds it row by row.
#pragma once

#include "foundation/date.h"
#include "model/vpaint.h"

class Canvas;
class VNode;

class GanttChart {
  public:
    enum RowFlags { LAST_ROW = 1, SELECTED_ROW = 2, FOLDER_ROW = 4 };
    enum Bands { DAYS = 1, WEEKS = 2, MONTHS = 4 };

    GanttChart();

    void SetOrigin(int x, int y) { x0 = x, y0 = y; }
    void SetWidth(int w) { width = w; }
    void SetRowHeight(int h) { rowHeight = h; }
    void SetFonts(const FontSpec& header, const FontSpec&) { headerFont = header; }

    void DrawHeader(int bands);
    // startText/endText: null when the row has none; "" when given but empty.
    void DrawRow(int y, int rowIndex, int rowFlags, const char* startText, const char* endText,
                 int progress, VNode* item);

    // Where day i and week i start.
    // (Products in 64 bits: the span has no upper bound.)
    int DayX(int i) const { return x0 + (int)((long long)width * i / days); }
    int WeekX(int i) const { return x0 + (int)((long long)width * i / (days / 7)); }

    int x0 = 0, y0 = 0;
    int width = 100;
    int rowHeight = 10;
    QDate firstDay;
    int days = 20;
    bool showProgress = false;
    Canvas* dc = nullptr;
    FontSpec headerFont;
    float scale = 1.0f;

  private:
    void drawBox(int x, int y, int w, int h, Colour fill, Colour outline, int progress);
    void vLine(int x, int y, bool dotted);
    void drawBar(int top, const char* startText, const char* endText, int rowFlags, int progress,
                 VNode* item);
    void drawSummaryBar(int x, int y, int w, int h, Colour fill, int ends);
    void drawTodayMarker(int top);
    int s(double factor) const { return (int)(factor * scale); }
};
