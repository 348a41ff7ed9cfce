// The Gantt chart's header, grid and bars, checked call by call.
#include "views/gantt.h"

#include "model/vcollection.h"
#include "model/vtask.h"
#include "support/fixed_clock.h"
#include "support/log_capture.h"
#include "support/model_builders.h"
#include "support/recording_canvas.h"

#include <cstdlib>
#include <gmock/gmock.h>

namespace {

constexpr int X0 = 500, Y0 = 70, ROW = 20;

class GanttTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        setenv("TZ", "Europe/Amsterdam", 1);
        tzset();
        chart.dc = &dc;
        chart.SetOrigin(X0, Y0);
        chart.SetWidth(784);
        chart.SetRowHeight(ROW);
        chart.days = 56;
        chart.firstDay.SetDate(7, 12, 2026); // a Monday
        task = AddNode<VTask>(c);
        task->flags = 0;
    }
    std::vector<CanvasCall> FillsOf(Colour colour) const {
        std::vector<CanvasCall> found;
        for (const CanvasCall& call : dc.Calls(CanvasCall::Fill))
            if (call.colour == colour) found.push_back(call);
        return found;
    }
    std::vector<CanvasCall> LinesIn(Colour colour) const {
        std::vector<CanvasCall> found;
        for (const CanvasCall& call : dc.Calls(CanvasCall::Line))
            if (call.penColour == colour) found.push_back(call);
        return found;
    }

    VCollection c;
    VTask* task = nullptr;
    GanttChart chart;
    RecordingCanvas dc;
};

const Colour GREY_BAR{192, 192, 192};

TEST_F(GanttTest, DaysAndWeeksOverTheStrip) {
    EXPECT_EQ(chart.DayX(0), X0);
    EXPECT_EQ(chart.DayX(1), X0 + 14);
    EXPECT_EQ(chart.DayX(55), X0 + 14 * 55);
    EXPECT_EQ(chart.WeekX(1), X0 + 98);
    chart.DrawHeader(6);
    auto texts = dc.Calls(CanvasCall::Text);
    ASSERT_EQ(texts.size(), 8u + 2u) << "eight weeks, two months";
    int top = Y0 - ROW * 2 - 1;
    EXPECT_THAT(texts[0].text, ::testing::StartsWith("wk "));
    EXPECT_EQ(texts[0].rect.left, X0 + 2);
    EXPECT_EQ(texts[0].rect.top, top + 2);
    EXPECT_EQ(texts[1].rect.left, X0 + 98 + 2);
    EXPECT_EQ(texts[8].text, "Dec");
    EXPECT_EQ(texts[9].text, "Jan");
    EXPECT_EQ(texts[9].rect.left, X0 + 14 * 25 + 2) << "1 January is day 25";
    EXPECT_EQ(texts[9].rect.top, top + ROW + 2);

    dc.Clear();
    chart.DrawHeader(7);
    EXPECT_EQ(dc.Calls(CanvasCall::Text).size(), 8u + 2u + 56u);
    EXPECT_EQ(dc.Calls(CanvasCall::Text).back().text, "31");

    dc.Clear();
    chart.SetWidth(280); // 35 units a week: bare numbers
    chart.DrawHeader(2);
    EXPECT_THAT(dc.Calls(CanvasCall::Text)[0].text, ::testing::Not(::testing::StartsWith("wk")));

    dc.Clear();
    chart.days = 6;
    chart.DrawHeader(2);
    EXPECT_TRUE(dc.Calls(CanvasCall::Text).empty()) << "no week cells below 7 days";
    EXPECT_FALSE(FillsOf({255, 255, 192}).empty()) << "the band is still filled";
}

TEST_F(GanttTest, BarsInsideAndClippedAtBothEdges) {
    struct Case {
        const char* start;
        const char* end;
        int left, right; // expected bar edges, or left == -1 for no bar
    } cases[] = {
        {"2026-12-09", "2026-12-12", X0 + 28, X0 + 70},
        {"2026-11-20", "2026-12-10", X0, X0 + 42},
        {"2026-12-30", "2027-03-01", X0 + 14 * 23, X0 + 784},
        {"2026-10-01", "2026-10-05", -1, -1},
        {"2027-03-01", "2027-03-05", -1, -1},
    };
    for (const Case& k : cases) {
        dc.Clear();
        chart.DrawRow(Y0, 1, 0, k.start, k.end, 100, task);
        auto bars = FillsOf(GREY_BAR);
        if (k.left < 0) {
            EXPECT_TRUE(bars.empty()) << k.start;
            continue;
        }
        ASSERT_EQ(bars.size(), 1u) << k.start;
        EXPECT_EQ(bars[0].rect, (CanvasRect{k.left, Y0 - 1 + 5, k.right, Y0 - 1 + 15})) << k.start;
    }
}

TEST_F(GanttTest, ProgressColoursPartOfTheBar) {
    chart.DrawRow(Y0, 1, 0, "2026-12-07", "2026-12-17", 30, task);
    auto bars = FillsOf(GREY_BAR);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0].rect.left, X0);
    EXPECT_EQ(bars[0].rect.right, X0 + 140 * 30 / 100);
    auto rest = FillsOf({255, 255, 255});
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(rest[0].rect.right, X0 + 140);
}

TEST_F(GanttTest, FolderBarsCarryTrianglesOnlyOnEndsInside) {
    auto* folder = AddNode<VGroup>(c);
    chart.DrawRow(Y0, 1, GanttChart::FOLDER_ROW, "2026-12-09", "2026-12-12", 100, folder);
    auto bars = FillsOf(GREY_BAR);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0].rect.left, X0 + 28 - 8);
    EXPECT_EQ(bars[0].rect.right, X0 + 70 + 8);
    EXPECT_EQ(LinesIn(GREY_BAR).size(), 2u * 19u);

    dc.Clear();
    chart.DrawRow(Y0, 1, GanttChart::FOLDER_ROW, "2026-11-01", "2026-12-12", 100, folder);
    EXPECT_EQ(FillsOf(GREY_BAR)[0].rect.left, X0) << "clipped: no extension";
    EXPECT_EQ(LinesIn(GREY_BAR).size(), 19u) << "only the right triangle";

    dc.Clear();
    chart.DrawRow(Y0, 1, GanttChart::FOLDER_ROW, "", "", 100, folder);
    EXPECT_TRUE(FillsOf(GREY_BAR).empty()) << "a folder without dated actions has no bar";
}

TEST_F(GanttTest, GridWeekendsClosingLineAndToday) {
    dc.Clear();
    chart.DrawRow(Y0, 5, 0, nullptr, nullptr, 100, task);
    auto lines = dc.Calls(CanvasCall::Line);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].currentPenStyle, PenStyle::Dotted) << "every fifth row";
    EXPECT_EQ(lines[0].rect, (CanvasRect{X0, Y0 - 1, X0 + 784 - 1, Y0 - 1}));
    EXPECT_EQ(FillsOf({230, 230, 230}).size(), 16u) << "eight weekends";

    dc.Clear();
    chart.DrawRow(Y0, 6, GanttChart::LAST_ROW, nullptr, nullptr, 100, task);
    lines = dc.Calls(CanvasCall::Line);
    EXPECT_EQ(lines[0].penColour, (Colour{210, 210, 210}));
    EXPECT_EQ(lines[0].currentPenStyle, PenStyle::Solid);
    EXPECT_EQ(lines[1].rect, (CanvasRect{X0, Y0 - 1 + ROW, X0 + 784 - 1, Y0 - 1 + ROW}))
        << "closing line";
    EXPECT_EQ(lines[1].penColour, (Colour{0, 0, 0}));

    // Today, fixed at 10 December 2026, is the fourth day of the strip.
    FixedClock clock(10, 12, 2026);
    dc.Clear();
    chart.DrawRow(Y0, 6, 0, nullptr, nullptr, 100, task);
    auto black = FillsOf({0, 0, 0});
    ASSERT_EQ(black.size(), 1u);
    EXPECT_EQ(black[0].rect.left, X0 + 784 * 3 / 56);
    EXPECT_EQ(black[0].rect.right - black[0].rect.left, 2);

    // A day outside the strip has no marker.
    FixedClock later(1, 6, 2027);
    dc.Clear();
    chart.DrawRow(Y0, 6, 0, nullptr, nullptr, 100, task);
    EXPECT_TRUE(FillsOf({0, 0, 0}).empty());
}

} // namespace
