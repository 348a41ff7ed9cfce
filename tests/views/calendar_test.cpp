// The month calendar: its grid, the bars of the actions and their lines, on a
// recording canvas.
#include "views/month_calendar.h"

#include "model/vcollection.h"
#include "model/vcommitem.h"
#include "model/vdays.h"
#include "model/vschedule.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/fixed_clock.h"
#include "support/log_capture.h"
#include "support/model_builders.h"
#include "support/recording_canvas.h"
#include "support/scripted_ui.h"

#include <cstring>
#include <gmock/gmock.h>

namespace {

class CalendarTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        setenv("TZ", "Europe/Amsterdam", 1);
        tzset();
        frame.rowsTop = 70;
        frame.rowHeight = 20;
        frame.clientRight = 1000;
        frame.clientBottom = 700;
    }
    VTask* Action(const char* what, const char* start, int days) {
        auto* t = AddNode<VTask>(c);
        t->what = what;
        t->flags = 0;
        t->startDate = start;
        t->duration = days;
        return t;
    }
    void Show(int day, int month, int year) {
        calendar.gridStart.SetDate(day, month, year);
        c.MakeView(c.root);
        calendar.Layout(frame, c.root->nextShown);
    }
    // The lines of a day, as (slot, continuation, first day).
    std::vector<CalendarLine> LinesOn(const char* date) {
        for (const CalendarCell& cell : calendar.cells)
            if (!std::strcmp(cell.date.Format(2), date))
                return std::vector<CalendarLine>(cell.lines, cell.lines + cell.lineCount);
        ADD_FAILURE() << date << " is not in the grid";
        return {};
    }

    VCollection c;
    MonthCalendar calendar;
    MonthCalendar::Frame frame;
    RecordingCanvas dc;
};

TEST_F(CalendarTest, GridOfSixOrFiveWeeks) {
    Show(23, 2, 2026); // March 2026 needs six weeks
    EXPECT_EQ(calendar.weekRows, 6);
    EXPECT_EQ(calendar.x0, 60);
    EXPECT_EQ(calendar.y0, 70);
    EXPECT_EQ(calendar.cells[0].w, 128);
    EXPECT_EQ(calendar.cells[0].h, 100);
    EXPECT_EQ(calendar.cells[8].x, 60 + 128);
    EXPECT_EQ(calendar.cells[8].y, 170);
    EXPECT_FALSE(calendar.cells[0].flags & CalendarCell::IN_MONTH) << "23 February";
    EXPECT_TRUE(calendar.cells[6].flags & CalendarCell::IN_MONTH) << "1 March";

    Show(30, 11, 2026); // December 2026: the sixth Monday is in January
    EXPECT_EQ(calendar.weekRows, 5);
    EXPECT_EQ(calendar.cells[0].h, 120);
    EXPECT_EQ(calendar.HitCell(60 + 10, 70 + 5 * 120 + 10), nullptr) << "the sixth row is not hit";
    EXPECT_EQ(calendar.HitCell(60 + 128 + 5, 70 + 5)->date.Format(2), std::string("2026-12-01"));
}

TEST_F(CalendarTest, BarsSpanWeeksAndTakeTheLowestFreeSlot) {
    Action("Fri to Tue", "2026-12-04", 5);
    Action("One day", "2026-12-16", 1);
    Action("Long", "2026-12-14", 4);
    Action("Short", "2026-12-15", 2);
    auto* undated = Action("Undated", "2026-12-15", 1);
    undated->flags = NO_DATE;
    AddNode<VTodo>(c)->what = "Never shown";
    Show(30, 11, 2026);

    auto friday = LinesOn("2026-12-04");
    ASSERT_EQ(friday.size(), 1u);
    EXPECT_TRUE(friday[0].firstDay);
    EXPECT_EQ(friday[0].continuation, 2);
    auto sunday = LinesOn("2026-12-06");
    ASSERT_EQ(sunday.size(), 1u);
    EXPECT_EQ(sunday[0].continuation, 1 | 2) << "Sunday continues into Monday";
    auto monday = LinesOn("2026-12-07");
    ASSERT_EQ(monday.size(), 1u);
    EXPECT_TRUE(monday[0].firstDay) << "the text again on Monday";
    EXPECT_EQ(monday[0].continuation, 1 | 2);
    EXPECT_EQ(LinesOn("2026-12-08")[0].continuation, 1);

    // The longer of two overlapping actions is placed first and takes slot 0.
    auto tuesday = LinesOn("2026-12-15");
    ASSERT_EQ(tuesday.size(), 2u);
    EXPECT_STREQ(static_cast<VTask*>(tuesday[0].item)->what.Text(), "Long");
    EXPECT_EQ(tuesday[0].slot, 0);
    EXPECT_EQ(tuesday[1].slot, 1);
    auto wednesday = LinesOn("2026-12-16");
    EXPECT_EQ(wednesday.size(), 3u) << "long, short and the one-day action";
    EXPECT_EQ(wednesday[2].slot, 2);
    for (const CalendarCell& cell : calendar.cells)
        for (int l = 0; l < cell.lineCount; ++l)
            EXPECT_NE(cell.lines[l].item, undated);
}

TEST_F(CalendarTest, PaintingCellsLinesAndTheTitle) {
    Action("Alone", "2026-12-16", 1);
    Show(30, 11, 2026);
    frame.regularFont = {-8, 0, "MS Sans Serif"};
    frame.boldFont = {-8, 700, "MS Sans Serif"};
    calendar.Paint(dc, frame);
    auto texts = dc.Calls(CanvasCall::Text);
    ASSERT_GE(texts.size(), 8u);
    EXPECT_EQ(texts[0].text, "December 2026");
    EXPECT_EQ(texts[0].rect.left, 500 - 40);
    EXPECT_EQ(texts[0].rect.top, 20 + 15);
    EXPECT_EQ(texts[1].text, "Mon");
    EXPECT_EQ(texts[1].rect.left, 60 + 8);
    EXPECT_EQ(texts[1].rect.top, 70 - 20 - 2);
    EXPECT_EQ(texts[8].text, "Nov 30") << "the first cell names its month";
    EXPECT_EQ(texts[9].text, "Dec 1");
    EXPECT_EQ(texts[10].text, "2");

    // Wednesday 16 December, third week row: the line of slot 0 spans y + 22 to y + 40.
    const CalendarCell& cell = calendar.cells[2 * 7 + 2];
    ASSERT_EQ(cell.lineCount, 1);
    EXPECT_EQ(cell.lines[0].rect,
              (CanvasRect{cell.x + 2, cell.y + 22, cell.x + cell.w - 1, cell.y + 40}));
    EXPECT_EQ(calendar.HitItem(cell.x + 10, cell.y + 30), cell.lines[0].item);
    EXPECT_EQ(calendar.HitItem(cell.x + 10, cell.y + 60), nullptr);
    int barLines = 0;
    for (const CanvasCall& line : dc.Calls(CanvasCall::Line))
        barLines += line.penColour == Colour{143, 176, 86};
    EXPECT_EQ(barLines, 4) << "a one-day bar has all four edges";
}

// A long text on a Saturday runs on over Sunday and stops at the grid's right edge.
TEST_F(CalendarTest, ALongTextEndsAtTheGridsEdge) {
    std::string what(120, 'w');
    Action(what.c_str(), "2026-12-19", 1);
    Action("Short", "2026-12-16", 1);
    Show(30, 11, 2026);
    frame.regularFont = {-8, 0, "MS Sans Serif"};
    calendar.Paint(dc, frame);
    const CalendarCell& saturday = calendar.cells[2 * 7 + 5];
    const CalendarCell& sunday = calendar.cells[2 * 7 + 6];
    int gridRight = calendar.x0 + 7 * calendar.cells[0].w;
    ASSERT_EQ(sunday.x + sunday.w, gridRight);
    std::vector<CanvasCall> texts = dc.Calls(CanvasCall::TextEllipsis);
    ASSERT_EQ(texts.size(), 2u);
    for (const CanvasCall& text : texts)
        EXPECT_EQ(text.rect.right, gridRight) << "room to the end of the week: " << text.text;
    const CanvasCall& longText = texts[0].text == what ? texts[0] : texts[1];
    EXPECT_EQ(longText.text, what);
    EXPECT_EQ(longText.rect.left, saturday.x + 8);
    EXPECT_EQ(longText.rect.top, saturday.y + 2 + 20 + 3);
    for (const CanvasCall& plain : dc.Calls(CanvasCall::Text))
        EXPECT_NE(plain.text, what) << "no text drawn without its bounds";
}

TEST_F(CalendarTest, MonthsMoveByScrollingAndTodayComesBack) {
    Show(30, 11, 2026);
    calendar.ScrollMonth(1);
    EXPECT_STREQ(calendar.gridStart.Format(2), "2026-12-28") << "January 2027 starts on Friday";
    calendar.ScrollMonth(-1);
    calendar.ScrollMonth(-1);
    EXPECT_STREQ(calendar.gridStart.Format(2), "2026-10-26");
    FixedClock clock(10, 12, 2026);
    calendar.GotoToday();
    EXPECT_STREQ(calendar.gridStart.Format(2), "2026-11-30") << "December 2026 starts on Tuesday";
}

TEST_F(CalendarTest, TenLinesAreAllACellTakes) {
    ScriptedUI ui;
    VTask* crowd = nullptr;
    for (int i = 0; i < 11; ++i)
        crowd = Action("Crowd", "2026-12-16", 1);
    VTask* later = Action("Later", "2026-12-18", 1);
    Show(30, 11, 2026);
    EXPECT_TRUE(ui.asked.empty()) << "a layout runs inside the paint: it shows no box";
    EXPECT_TRUE(calendar.overflowed);
    EXPECT_EQ(LinesOn("2026-12-16").size(), 10u) << "the placed lines stay";
    ASSERT_EQ(LinesOn("2026-12-18").size(), 1u) << "the actions after it are still placed";
    EXPECT_EQ(LinesOn("2026-12-18")[0].item, later);

    c.RemoveTree(crowd); // one of the crowd goes: everything fits again
    Show(30, 11, 2026);
    EXPECT_FALSE(calendar.overflowed);
}

} // namespace

namespace {

TEST_F(CalendarTest, TodaysCellIsLightBlue) {
    FixedClock clock(10, 12, 2026);
    calendar.GotoToday();
    c.MakeView(c.root);
    calendar.Layout(frame, c.root->nextShown);
    calendar.Paint(dc, frame);
    QDate today;
    today.SetToday();
    const CalendarCell* cell = nullptr;
    for (const CalendarCell& candidate : calendar.cells)
        if (candidate.date == today) cell = &candidate;
    ASSERT_NE(cell, nullptr);
    EXPECT_STREQ(cell->date.Format(2), "2026-12-10");
    bool blue = false;
    for (const CanvasCall& fill : dc.Calls(CanvasCall::Fill))
        blue |=
            fill.colour == Colour{230, 230, 255} &&
            fill.rect == CanvasRect{cell->x + 1, cell->y + 1, cell->x + cell->w, cell->y + cell->h};
    EXPECT_TRUE(blue);
}

// Items due on a day show there as one-day bars (with their time); a repeating item, and a
// repeating action with its length, show on every occurrence in the grid; the occurrences
// come from the rule, so a monthly item on the 31st skips the months without one.
TEST_F(CalendarTest, DueItemsAndTheOccurrencesOfRepeats) {
    auto* call = AddNode<VCall>(c);
    call->who = "Ann";
    VSchedule s;
    s.dueDay = DayNumber(2026, 12, 8);
    s.dueMinute = 14 * 60 + 30;
    SetSchedule(c, call, s);
    auto* weekly = AddNode<VTodo>(c);
    weekly->what = "Bins out";
    s = {};
    s.dueDay = DayNumber(2026, 11, 25);
    s.rule = "FREQ=WEEKLY;COUNT=4";
    SetSchedule(c, weekly, s);
    auto* monthEnd = AddNode<VTodo>(c);
    monthEnd->what = "Invoice";
    s.dueDay = DayNumber(2026, 10, 31);
    s.rule = "FREQ=MONTHLY";
    SetSchedule(c, monthEnd, s);
    VTask* retreat = Action("Retreat", "2026-11-06", 3);
    s = {};
    s.rule = "FREQ=MONTHLY;BYDAY=1FR";
    SetSchedule(c, retreat, s);

    Show(30, 11, 2026); // December 2026: 30 November to 3 January
    auto itemsOn = [&](const char* date) {
        std::vector<std::string> items;
        for (const CalendarLine& line : LinesOn(date)) {
            qstring text;
            line.item->Describe(text, true);
            items.push_back(text.Text());
        }
        return items;
    };
    EXPECT_THAT(itemsOn("2026-12-08"), testing::ElementsAre("Call Ann ()"));
    for (const char* day : {"2026-12-02", "2026-12-09", "2026-12-16"})
        EXPECT_THAT(itemsOn(day), testing::ElementsAre("Bins out")) << day;
    EXPECT_TRUE(itemsOn("2026-12-23").empty()) << "four times in all, from 25 November";
    EXPECT_THAT(itemsOn("2026-12-31"), testing::ElementsAre("Invoice"));
    EXPECT_TRUE(itemsOn("2026-11-30").empty()) << "November has no 31st";
    // The first Friday of December, three days; January's begins in the grid's last week.
    for (const char* day : {"2026-12-04", "2026-12-05", "2026-12-06", "2027-01-01"})
        EXPECT_THAT(itemsOn(day), testing::ElementsAre(testing::StartsWith("Retreat"))) << day;
    EXPECT_TRUE(itemsOn("2026-12-07").empty());

    calendar.Paint(dc, frame);
    std::vector<std::string> texts;
    for (const CanvasCall& text : dc.Calls(CanvasCall::TextEllipsis))
        texts.push_back(text.text);
    EXPECT_THAT(texts, testing::Contains("14:30 Call Ann ()"));
}

// A series begun years ago shows in this month; one repeating every minute shows on the
// grid's first days, as many as the occurrences listed for one series reach.
TEST_F(CalendarTest, OldAndVeryFrequentRepeatsShowWithinTheGrid) {
    auto* birthday = AddNode<VTodo>(c);
    birthday->what = "Birthday";
    VSchedule s;
    s.dueDay = DayNumber(2010, 12, 10);
    s.rule = "FREQ=YEARLY";
    SetSchedule(c, birthday, s);
    auto* ping = AddNode<VTodo>(c);
    ping->what = "Ping";
    s.dueDay = DayNumber(2026, 12, 1);
    s.dueMinute = 0;
    s.rule = "FREQ=MINUTELY";
    SetSchedule(c, ping, s);

    Show(30, 11, 2026); // December 2026: 30 November to 3 January
    auto has = [&](const char* date, const char* what) {
        for (const CalendarLine& line : LinesOn(date)) {
            qstring text;
            line.item->Describe(text, true);
            if (text == what) return true;
        }
        return false;
    };
    EXPECT_TRUE(has("2026-12-10", "Birthday"));
    EXPECT_FALSE(has("2026-12-11", "Birthday"));
    EXPECT_TRUE(has("2026-12-01", "Ping"));
    EXPECT_TRUE(has("2026-12-07", "Ping")) << "10,000 minutes reach 7 December";
    EXPECT_FALSE(has("2026-12-08", "Ping"));
}

} // namespace
