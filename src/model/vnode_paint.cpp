// Drawing the row of a node: background, indentation, text, check box, strike, icon.
#include "model/vcollection.h"
#include "model/vcollviewer.h"
#include "model/vdates.h"
#include "model/vdays.h"
#include "model/vnode.h"
#include "model/vschedule.h"
#include "model/vseries.h"
#include "model/vtask.h"
#include "model/vzone.h"
#include "model/vvisibility.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
// Every position computed with the scale is truncated toward zero at the end.
int at(double value) {
    return (int)value;
}
// Lines as thick as a screen pixel, on paper too.
int penWidth(double scale) {
    return at(scale) < 1 ? 1 : at(scale);
}

// The column at the row's right end that shows when the item is due.
constexpr int DUE_WIDTH = 100;

// When the row's item is due: the occurrence's day in the document's date format and its
// time ("25-06-2010 14:00"); an action's list row has its days in its text already and
// shows its times of day ("09:00-10:30"). Empty for an item without either.
struct DueColumn {
    std::string text;
    bool overdue = false;
};
DueColumn dueColumn(const VNode& node, const VCollectionViewer& v) {
    ScheduleKind kind = ScheduleKindOf(&node);
    if (kind == ScheduleKind::None) return {};
    const VCollection& c = *node.collection;
    VSchedule schedule = ScheduleOf(c, &node);
    if (kind == ScheduleKind::Action && !v.occurrence) {
        if (!schedule.startMinute && !schedule.endMinute) return {};
        // Times in a zone as they are here (the days stay the action's own).
        std::optional<VWhen> first = DueOf(&node, schedule);
        long firstDay = first ? first->day : 0;
        long lastDay = firstDay + std::max(1, static_cast<const VTask&>(node).duration) - 1;
        auto here = [&](long day, const std::optional<int>& minute) {
            return minute ? MinuteText(*ToLocal({day, minute}, schedule.zone).minute) : "";
        };
        std::string start = here(firstDay, schedule.startMinute);
        std::string end = here(lastDay, schedule.endMinute);
        return {start + (schedule.endMinute ? "-" + end : "")};
    }
    std::optional<VWhen> when = v.occurrence ? *v.occurrence : LocalDueOf(&node, schedule);
    if (!when) return {};
    QDate today;
    today.SetToday();
    return {WhenText(c, *when), when->day < DayOfDate(today) && !(node.flags & DONE)};
}
} // namespace

Colour LevelColour(int level) {
    static const Colour LEVELS[5] = {
        {88, 90, 91}, {110, 113, 114}, {132, 136, 136}, {154, 158, 159}, {176, 181, 182}};
    int remainder = level % 5;
    return remainder < 0 ? Colour{255, 0, 0} : LEVELS[remainder];
}

namespace {
double relativeLuminance(Colour c) {
    auto linear = [](std::uint8_t channel) {
        double v = channel / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}
} // namespace

double ContrastRatio(Colour a, Colour b) {
    double la = relativeLuminance(a), lb = relativeLuminance(b);
    if (la < lb) std::swap(la, lb);
    return (la + 0.05) / (lb + 0.05);
}

Colour ReadableTextColour(Colour background) {
    return ContrastRatio(RowColour::BLACK, background) >=
                   ContrastRatio(RowColour::WHITE, background)
               ? RowColour::BLACK
               : RowColour::WHITE;
}

Colour TextColourOn(Colour wanted, Colour background) {
    return ContrastRatio(wanted, background) >= STATE_TEXT_CONTRAST
               ? wanted
               : ReadableTextColour(background);
}

Colour VNode::PriorityBackground(int priority) const {
    if (flags & WAITING) return RowColour::LIGHT_YELLOW;
    return priority == 3 ? RowColour::LIGHT_GREEN : RowColour::WHITE;
}

Colour VNode::PriorityTextColour(int priority) const {
    if (flags & DONE) return RowColour::DONE_GREY;
    return priority >= 2 ? RowColour::URGENT_RED : RowColour::BLACK;
}

void VNode::PaintBackground(VCollectionViewer& v, Colour colour) {
    Canvas& dc = *v.paintDC;
    double s = v.scale;
    int step = at(5 * s);
    bool folder = IsFolder(this);
    Colour fill = folder ? LevelColour(level) : colour;
    const VCollection& c = *collection;
    if (c.contactFilter && HasContact(c.contactFilter) && !(c.filterFlags & 16))
        fill = RowColour::CONTACT_GREEN;
    if (tempFlags & SELECTED) fill = RowColour::SELECTION_BLUE;
    int x = rect.x, y = rect.y, w = rect.width, h = rect.height;
    dc.FillRect({x, y, x + w, y + h}, fill);
    v.rowFill = fill;

    dc.SetPen(PenStyle::Solid, 1, RowColour::SEPARATOR_GREY);
    int indent = level * step + (folder ? step : 0);
    dc.MoveTo(x + indent, y + h - 1);
    dc.LineTo(x + w, y + h - 1);
    dc.MoveTo(x + indent, y - 1);
    dc.LineTo(x + w, y - 1);

    for (int i = 0; i < level; ++i)
        dc.FillRect({x + i * step, y, x + (i + 1) * step, y + h}, LevelColour(i));
}

void VNode::DrawRowText(VCollectionViewer& v, const qstring& text, Colour colour, bool bold) {
    Canvas& dc = *v.paintDC;
    double s = v.scale;
    const FontSpec& font = bold ? v.boldFont : v.regularFont;
    dc.SetFont(font.height, font.weight, font.face);
    bool active = IsActive();
    Colour shown = active ? colour : RowColour::INACTIVE_GREY;
    if (tempFlags & SELECTED) shown = active ? RowColour::WHITE : RowColour::INACTIVE_GREY;
    dc.SetTextColour(TextColourOn(shown, v.rowFill));

    double offset = 2 * s;
    if (icon != ItemIcon::None) offset += 18 * s;
    if (tempFlags & HAS_CHECKBOX) offset += 12 * s;
    double indent = level * 5 * s + 2 * s;
    CanvasRect box{at(rect.x + offset + indent), at(rect.y + 3 * s),
                   at(rect.x + rect.width + indent), at(rect.y + rect.height + 3 * s)};
    DueColumn due = dueColumn(*this, v);
    if (!due.text.empty()) {
        CanvasRect column{at(rect.x + rect.width - (DUE_WIDTH + 4) * s), box.top,
                          at(rect.x + rect.width - 4 * s), box.bottom};
        box.right = std::max(box.left, column.left - at(6 * s));
        Colour dueColour = due.overdue ? RowColour::URGENT_RED : RowColour::DONE_GREY;
        dc.SetTextColour((tempFlags & SELECTED) || !active ? shown : dueColour);
        dc.TextEllipsis(column, due.text);
        dc.SetTextColour(shown);
    }
    // The canvas draws text as it is: no character marks a mnemonic, so an "&" shows
    // without being doubled first.
    dc.TextEllipsis(box, text.Text());
}

void VNode::DrawCheckBox(VCollectionViewer& v) {
    Canvas& dc = *v.paintDC;
    double s = v.scale;
    double h = rect.height;
    double left = rect.x + 2 * s + level * 5 * s;
    if (icon != ItemIcon::None) left += 18 * s;
    double right = left + h / 2;
    double top = rect.y + h / 4;
    double bottom = rect.y + h - h / 4;
    int pen = penWidth(s);
    dc.SetPen(PenStyle::Solid, pen, RowColour::BLACK);
    CanvasRect box{at(left), at(top), at(right), at(bottom)};
    dc.FillRect(box, RowColour::WHITE);
    dc.Rectangle(box);
    if (!(flags & DONE)) return;
    for (int shift = 0; shift < 2; ++shift) {
        int l = box.left + shift * pen, t = box.top;
        dc.MoveTo(at(l + 2 * s), at(t + 3 * s));
        dc.LineTo(at(l + 4 * s), at(t + 7 * s));
        dc.LineTo(at(l + 10 * s), at(t - 4 * s));
    }
}

void VNode::DrawStrike(VCollectionViewer& v) {
    Canvas& dc = *v.paintDC;
    double s = v.scale;
    dc.SetPen(PenStyle::Solid, penWidth(s),
              (tempFlags & SELECTED) ? RowColour::WHITE : RowColour::DONE_GREY);
    int y = (rect.height + 2 * rect.y) / 2;
    dc.MoveTo(at(rect.x + 5 * s + 15), y);
    dc.LineTo(at(rect.x + rect.width - 10 - 5 * s), y);
    dc.SetPen(PenStyle::Solid, penWidth(s), RowColour::BLACK);
}

void VNode::DrawIcon(VCollectionViewer& v) {
    if (icon == ItemIcon::None) return;
    double s = v.scale;
    int step = at(5 * s);
    // The icon takes 20 by 20 of the row's height; a printed row is lower than that
    // scaled, and the icon shrinks to stay inside it.
    double fit = std::min(1.0, rect.height / (20 * s));
    int size = at(16 * s * fit);
    int x = at(rect.x + level * step + s);
    int y = at(rect.y + s * fit + (rect.height - 20 * s * fit) / 2);
    v.paintDC->Icon({x, y, x + size, y + size}, icon);
}

void VNode::PaintDecorations(VCollectionViewer& v) {
    if (tempFlags & HAS_CHECKBOX) {
        DrawCheckBox(v);
        if (flags & DONE) DrawStrike(v);
    }
    DrawIcon(v);
}

void VNode::Paint(VCollectionViewer& v) {
    PaintBackground(v, RowColour::WHITE);
    DrawCheckBox(v);
    DrawRowText(v, name, RowColour::BLACK, false);
}
