// AgendaList: the item view's agenda mode: the occurrences of the shown items from today
// on, under the headings "Overdue", "Today", "Tomorrow", "This week" and "Later", each
// occurrence once and in due order. An occurrence row is its item's own list row with the
// occurrence as its due text; a heading is a row of its own.
#pragma once

#include "model/vagenda.h"
#include "model/vnode.h"
#include "platform/canvas.h"

#include <vector>

class VCollection;
class VCollectionViewer;

class AgendaList {
  public:
    // How far ahead the agenda looks. Later holds each item's first occurrence after this
    // week only, so a daily item does not fill a year of rows.
    static constexpr int DAYS_AHEAD = 365;

    struct Row {
        VNode* item = nullptr; // none for a heading
        AgendaGroup group = AgendaGroup::Later;
        VWhen when;
        VRect rect{};
    };

    // The rows for the items of the chain that starts with firstShown, from `first` (the
    // first row's rectangle) down, at most maxRows of them; on paper every page of
    // rowsPerPage rows starts at the first row's height again.
    void Layout(const VCollection& collection, VNode* firstShown, long today, const VRect& first,
                int maxRows, int rowsPerPage = 0);
    void Clear() { rows.clear(); }
    // Paints the rows from firstRow up to lastRow (a printed page's) that meet the clip box;
    // of a selected item only the row `selected` shows selected (its first row when
    // `selected` is not one of its rows).
    void Paint(VCollectionViewer& viewer, const CanvasRect& clip, int selected, int firstRow,
               int lastRow);
    // The occurrence row at the point; -1 for none or a heading.
    int HitRow(int x, int y) const;
    // The row that shows as selected: `selected` while its item is selected, else the
    // first row of a selected item; -1 for none.
    int ShownSelection(int selected) const;
    // The next occurrence row after (step 1) or before (step -1) the row; -1 for none.
    int Step(int from, int step) const;

    const std::vector<Row>& Rows() const { return rows; }

  private:
    std::vector<Row> rows;
};
