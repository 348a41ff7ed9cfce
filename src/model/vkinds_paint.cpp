// How each kind paints its row in list mode.
#include "model/vcollviewer.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vgroup.h"
#include "model/vreference.h"
#include "model/vtask.h"
#include "model/vtodo.h"

namespace {
qstring describe(const VNode& node) {
    qstring text;
    node.Describe(text, false);
    return text;
}
Colour waitingOr(const VNode& node, Colour colour) {
    return (node.flags & WAITING) ? RowColour::LIGHT_YELLOW : colour;
}
} // namespace

void VTodo::Paint(VCollectionViewer& v) {
    PaintBackground(v, PriorityBackground(priority));
    DrawCheckBox(v);
    DrawRowText(v, describe(*this), PriorityTextColour(priority), false);
    if (flags & DONE) DrawStrike(v);
}

void VTask::UpdateMarks(const QDate& today) {
    tempFlags &= ~(OVERDUE | RUNNING);
    QDate start, end;
    if (!Span(start, end)) return;
    int daysToEnd = today.DaysBetween(end);
    if (daysToEnd < 0 && completion < 100) tempFlags |= OVERDUE;
    if (today.DaysBetween(start) <= 0 && daysToEnd > 0) tempFlags |= RUNNING;
}

void VTask::Paint(VCollectionViewer& v) {
    PaintBackground(v, PriorityBackground(priority));
    QDate today;
    today.SetToday();
    UpdateMarks(today);
    Colour text = (flags & NO_DATE)       ? RowColour::UNPLANNED_GREY
                  : (tempFlags & OVERDUE) ? RowColour::URGENT_RED
                                          : RowColour::BLACK;
    DrawRowText(v, describe(*this), text, false);
    if (flags & DONE) DrawStrike(v);
    DrawCheckBox(v);
}

void VCommItem::Paint(VCollectionViewer& v) {
    PaintBackground(v, PriorityBackground(priority));
    DrawRowText(v, describe(*this), PriorityTextColour(priority), false);
    PaintDecorations(v);
}

void VContact::Paint(VCollectionViewer& v) {
    PaintBackground(v, waitingOr(*this, RowColour::WHITE));
    DrawRowText(v, describe(*this), RowColour::BLACK, false);
    PaintDecorations(v);
}

void VAgreement::Paint(VCollectionViewer& v) {
    PaintBackground(v, RowColour::WHITE);
    DrawRowText(v, describe(*this), RowColour::BLACK, false);
    if (flags & DONE) DrawStrike(v);
    PaintDecorations(v);
}

void VURL::Paint(VCollectionViewer& v) {
    PaintBackground(v, RowColour::WHITE);
    DrawRowText(v, describe(*this), RowColour::BLACK, false);
    PaintDecorations(v);
}

void VFact::Paint(VCollectionViewer& v) {
    PaintBackground(v, RowColour::WHITE);
    DrawRowText(v, describe(*this), RowColour::BLACK, false);
}

void VGroup::Paint(VCollectionViewer& v) {
    PaintBackground(v, LevelColour(level));
    if (flags & DONE) DrawStrike(v);
    DrawRowText(v, name, RowColour::WHITE, true);
}
