// Rows of list mode as each kind paints them, checked call by call.
#include "model/vcollection.h"
#include "model/vcollviewer.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vdays.h"
#include "model/vreference.h"
#include "model/vschedule.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/fixed_clock.h"
#include "support/log_capture.h"
#include "support/model_builders.h"
#include "support/recording_canvas.h"

#include <gmock/gmock.h>

namespace {

constexpr int X = 0, Y = 70, W = 450, H = 20;

class RowPaintTest : public LogTest {
  protected:
    RowPaintTest() : viewer(&c) {
        viewer.paintDC = &dc;
        viewer.regularFont = {-8, 0, "MS Sans Serif"};
        viewer.boldFont = {-8, 700, "MS Sans Serif"};
    }
    void Paint(VNode& node, int level = 0) {
        node.level = level;
        node.SetRect(X, Y, W, H);
        dc.Clear();
        node.Paint(viewer);
    }
    CanvasCall Text() const {
        auto texts = dc.Calls(CanvasCall::TextEllipsis);
        EXPECT_EQ(texts.size(), 1u);
        return texts.empty() ? CanvasCall{} : texts[0];
    }
    CanvasCall FirstFill() const { return dc.Calls(CanvasCall::Fill).at(0); }

    VCollection c;
    VCollectionViewer viewer;
    RecordingCanvas dc;
};

// On paper (600 dots an inch) the box's lines and the tick are as thick as a screen pixel,
// and the icon grows as much as the row lets it.
TEST_F(RowPaintTest, OnPaperLinesAndIconsGrowWithTheScale) {
    viewer.scale = 600 / 72.0f;
    constexpr int PRINTED_ROW = 99;
    auto* todo = AddNode<VTodo>(c);
    todo->flags |= DONE;
    auto* call = AddNode<VCall>(c);
    for (VNode* node : {(VNode*)todo, (VNode*)call}) {
        SCOPED_TRACE(node->TypeName());
        node->SetRect(X, Y, 4000, PRINTED_ROW);
        dc.Clear();
        node->Paint(viewer);
        auto boxes = dc.Calls(CanvasCall::Outline);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].currentPenWidth, 8);
    }
    auto icons = dc.Calls(CanvasCall::Icon);
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_GE(icons[0].rect.top, Y);
    EXPECT_LE(icons[0].rect.bottom, Y + PRINTED_ROW);
    EXPECT_GE(icons[0].rect.bottom - icons[0].rect.top, 16 * 4);

    todo->SetRect(X, Y, 4000, PRINTED_ROW);
    dc.Clear();
    todo->Paint(viewer);
    int tickLines = 0;
    for (size_t i = 0; i < dc.calls.size(); ++i) {
        if (dc.calls[i].kind != CanvasCall::Outline) continue;
        for (size_t j = i + 1; j < dc.calls.size() && dc.calls[j].kind == CanvasCall::Line;
             ++j, ++tickLines) {
            EXPECT_EQ(dc.calls[j].currentPenWidth, 8);
        }
    }
    EXPECT_EQ(tickLines, 4) << "two strokes, drawn twice";
}

TEST_F(RowPaintTest, ToCallRowWithIconAndCheckBox) {
    auto* call = AddNode<VCall>(c);
    Paint(*call);
    auto icons = dc.Calls(CanvasCall::Icon);
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].icon, ItemIcon::Call);
    EXPECT_EQ(icons[0].rect.left, X + 1);
    EXPECT_EQ(icons[0].rect.top, Y + 1);
    auto boxes = dc.Calls(CanvasCall::Outline);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rect, (CanvasRect{X + 20, Y + 5, X + 30, Y + 15}));
    EXPECT_EQ(Text().rect, (CanvasRect{X + 34, Y + 3, X + W + 2, Y + 23}));
    EXPECT_EQ(Text().text, "Call Call ()");
    EXPECT_EQ(Text().textColour, RowColour::BLACK);
    EXPECT_EQ(FirstFill().rect, (CanvasRect{X, Y, X + W, Y + H}));
    EXPECT_EQ(FirstFill().colour, RowColour::WHITE);
    auto lines = dc.Calls(CanvasCall::Line);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].rect, (CanvasRect{X, Y + H - 1, X + W, Y + H - 1}));
    EXPECT_EQ(lines[1].rect, (CanvasRect{X, Y - 1, X + W, Y - 1}));
    EXPECT_EQ(lines[0].penColour, RowColour::SEPARATOR_GREY);
}

TEST_F(RowPaintTest, IndentationBarsAndTextAtLevelThree) {
    auto* todo = AddNode<VTodo>(c);
    todo->what = "deep";
    Paint(*todo, 0);
    int textAtZero = Text().rect.left;
    Paint(*todo, 3);
    auto fills = dc.Calls(CanvasCall::Fill);
    ASSERT_GE(fills.size(), 4u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(fills[1 + i].rect, (CanvasRect{X + 5 * i, Y, X + 5 * (i + 1), Y + H}));
        EXPECT_EQ(fills[1 + i].colour, LevelColour(i));
    }
    EXPECT_EQ(Text().rect.left, textAtZero + 15);
    EXPECT_EQ(dc.Calls(CanvasCall::Line)[0].rect.left, X + 15) << "separators start at the indent";
}

TEST_F(RowPaintTest, ColoursOfStateAndPriority) {
    auto* todo = AddNode<VTodo>(c);
    todo->what = "T";
    struct Case {
        int priority;
        std::uint32_t flags;
        Colour fill, text;
    } cases[] = {
        {1, 0, RowColour::WHITE, RowColour::BLACK},
        {2, 0, RowColour::WHITE, RowColour::URGENT_RED},
        {3, 0, RowColour::LIGHT_GREEN, RowColour::URGENT_RED},
        {3, WAITING, RowColour::LIGHT_YELLOW, RowColour::URGENT_RED},
        {2, DONE, RowColour::WHITE, RowColour::DONE_GREY},
    };
    for (const Case& k : cases) {
        todo->priority = k.priority;
        todo->flags = k.flags;
        Paint(*todo);
        EXPECT_EQ(FirstFill().colour, k.fill) << k.priority;
        EXPECT_EQ(Text().textColour, k.text) << k.priority;
    }

    // Done: a tick (twice) in the box and the strike line through the row.
    todo->flags = DONE;
    Paint(*todo);
    auto lines = dc.Calls(CanvasCall::Line);
    int strikeY = (H + 2 * Y) / 2;
    bool strike = false;
    for (const CanvasCall& l : lines)
        strike |= l.rect == CanvasRect{X + 5 + 15, strikeY, X + W - 10 - 5, strikeY} &&
                  l.penColour == RowColour::DONE_GREY;
    EXPECT_TRUE(strike);
    EXPECT_EQ(lines.size(), 2u + 4u + 1u) << "separators, two ticks of two strokes, the strike";
}

// Black or white on a background, whichever stands out more: 4.5:1 at least on every
// colour a row can have.
TEST(ReadableText, PicksBlackOrWhiteByContrast) {
    EXPECT_NEAR(ContrastRatio(RowColour::BLACK, RowColour::WHITE), 21.0, 0.01);
    EXPECT_NEAR(ContrastRatio(RowColour::WHITE, RowColour::WHITE), 1.0, 0.01);
    struct Case {
        Colour background, text;
    } cases[] = {
        {RowColour::WHITE, RowColour::BLACK},
        {RowColour::LIGHT_GREEN, RowColour::BLACK},
        {RowColour::LIGHT_YELLOW, RowColour::BLACK},
        {RowColour::CONTACT_GREEN, RowColour::BLACK},
        {RowColour::SELECTION_BLUE, RowColour::WHITE},
        {LevelColour(0), RowColour::WHITE},
        {LevelColour(1), RowColour::WHITE},
        {LevelColour(3), RowColour::BLACK},
        {LevelColour(4), RowColour::BLACK},
        {LevelColour(-1), RowColour::BLACK},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadableTextColour(c.background), c.text) << (int)c.background.r;
        EXPECT_GE(ContrastRatio(c.text, c.background), READABLE_CONTRAST) << (int)c.background.r;
    }
}

// A text keeps its state's colour where that still shows on the background, and turns
// black or white only where it would vanish.
TEST(ReadableText, AStateColourStaysWhereItShows) {
    struct Case {
        Colour wanted, background, shown;
    } cases[] = {
        {RowColour::URGENT_RED, RowColour::WHITE, RowColour::URGENT_RED},
        {RowColour::INACTIVE_GREY, RowColour::WHITE, RowColour::INACTIVE_GREY},
        {RowColour::WHITE, LevelColour(2), RowColour::WHITE},
        {RowColour::INACTIVE_GREY, LevelColour(4), RowColour::BLACK},
        {RowColour::WHITE, RowColour::WHITE, RowColour::BLACK},
        {RowColour::BLACK, RowColour::SELECTION_BLUE, RowColour::WHITE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextColourOn(c.wanted, c.background), c.shown) << (int)c.wanted.r;
}

TEST_F(RowPaintTest, SelectionAndInactivity) {
    auto* closed = AddNode<VGroup>(c);
    closed->flags |= INACTIVE;
    auto* todo = AddNode<VTodo>(c, closed);
    todo->what = "inside";
    Paint(*todo, 1);
    EXPECT_EQ(Text().textColour, RowColour::INACTIVE_GREY) << "inactive through its folder";
    todo->Select();
    Paint(*todo, 1);
    EXPECT_EQ(FirstFill().colour, RowColour::SELECTION_BLUE);
    EXPECT_EQ(Text().textColour, RowColour::INACTIVE_GREY);
    closed->flags &= ~INACTIVE;
    todo->priority = 3;
    Paint(*todo, 1);
    EXPECT_EQ(FirstFill().colour, RowColour::SELECTION_BLUE) << "whatever its other colours";
    EXPECT_EQ(Text().textColour, RowColour::WHITE);
}

TEST_F(RowPaintTest, FoldersContactsAndText) {
    auto* folder = AddNode<VGroup>(c);
    folder->name = "Sub & more";
    folder->flags |= WAITING;
    Paint(*folder, 2);
    EXPECT_EQ(FirstFill().colour, LevelColour(2)) << "folders ignore waiting and priority";
    EXPECT_EQ(Text().textColour, RowColour::WHITE);
    EXPECT_EQ(Text().fontWeight, 700);
    EXPECT_EQ(Text().text, "Sub & more") << "an ampersand shows as it is";
    EXPECT_EQ(dc.Calls(CanvasCall::Line)[0].rect.left, X + 15)
        << "a folder's separator starts one step further";

    auto* anna = AddNode<VContact>(c);
    auto* task = AddNode<VTask>(c);
    task->assignees[0] = anna;
    c.contactFilter = anna;
    Paint(*task);
    EXPECT_EQ(FirstFill().colour, RowColour::CONTACT_GREEN);
    c.filterFlags |= 16;
    Paint(*task);
    EXPECT_EQ(FirstFill().colour, RowColour::WHITE) << "no highlight while other items are hidden";
    EXPECT_EQ(LevelColour(7), LevelColour(2));
    EXPECT_EQ(LevelColour(-1), (Colour{255, 0, 0}));
}

TEST_F(RowPaintTest, OverdueAndRunningActions) {
    auto* task = AddNode<VTask>(c);
    task->flags = 0;
    task->startDate = "2026-12-01";
    task->duration = 3;
    QDate today;
    today.SetDate(10, 12, 2026);
    task->completion = 99;
    task->UpdateMarks(today);
    EXPECT_TRUE(task->tempFlags & OVERDUE);
    task->completion = 100;
    task->UpdateMarks(today);
    EXPECT_FALSE(task->tempFlags & OVERDUE);
    task->startDate = "2026-12-09";
    task->UpdateMarks(today);
    EXPECT_TRUE(task->tempFlags & RUNNING);
    task->startDate = "2026-12-11";
    task->UpdateMarks(today);
    EXPECT_FALSE(task->tempFlags & (RUNNING | OVERDUE));

    task->startDate = "2001-01-01";
    task->completion = 99;
    Paint(*task);
    EXPECT_EQ(Text().textColour, RowColour::URGENT_RED);
    task->flags = NO_DATE;
    Paint(*task);
    EXPECT_EQ(Text().textColour, RowColour::UNPLANNED_GREY);
}

// When an item is due shows in a column at the row's right end, in the document's date
// format, with its time; overdue in red, else grey; an action shows its times of day;
// the agenda's row shows the occurrence it stands for. The text keeps the rest.
TEST_F(RowPaintTest, DueDatesAfterTheText) {
    FixedClock clock(10, 12, 2026);
    c.dateFormat = 0; // 25-Jun-10
    auto* call = AddNode<VCall>(c);
    VSchedule due;
    due.dueDay = DayNumber(2026, 12, 24);
    due.dueMinute = 14 * 60 + 30;
    SetSchedule(c, call, due);
    auto* late = AddNode<VTodo>(c);
    due.dueDay = DayNumber(2026, 12, 9);
    due.dueMinute.reset();
    SetSchedule(c, late, due);
    auto* meeting = AddNode<VTask>(c);
    meeting->flags = 0;
    meeting->startDate = "2026-12-16";
    VSchedule times;
    times.startMinute = 9 * 60;
    times.endMinute = 10 * 60 + 30;
    SetSchedule(c, meeting, times);
    auto* plain = AddNode<VTodo>(c);

    struct Case {
        VNode* node;
        const char* due;
        Colour colour;
    } cases[] = {
        {call, "24-Dec-26 14:30", RowColour::DONE_GREY},
        {late, "09-Dec-26", RowColour::URGENT_RED},
        {meeting, "09:00-10:30", RowColour::DONE_GREY},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.due);
        Paint(*k.node);
        auto texts = dc.Calls(CanvasCall::TextEllipsis);
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_EQ(texts[0].text, k.due);
        EXPECT_EQ(texts[0].rect, (CanvasRect{X + W - 104, Y + 3, X + W - 4, Y + 23}));
        EXPECT_EQ(texts[0].textColour, k.colour);
        EXPECT_EQ(texts[1].rect.right, X + W - 110) << "the text ends before the column";
    }
    Paint(*plain);
    EXPECT_EQ(Text().rect.right, X + W + 2) << "no column without a due date";

    late->tempFlags |= SELECTED;
    Paint(*late);
    EXPECT_EQ(dc.Calls(CanvasCall::TextEllipsis)[0].textColour, RowColour::WHITE);
    late->tempFlags &= ~SELECTED;

    VWhen occurrence{DayNumber(2027, 1, 6), 8 * 60};
    viewer.occurrence = &occurrence;
    Paint(*late);
    EXPECT_EQ(dc.Calls(CanvasCall::TextEllipsis)[0].text, "06-Jan-27 08:00");
    EXPECT_EQ(dc.Calls(CanvasCall::TextEllipsis)[0].textColour, RowColour::DONE_GREY);
    viewer.occurrence = nullptr;
}

} // namespace
