// Deleting a repeating item from the agenda or the list: the user chooses between the
// occurrence (an EXDATE in the item's schedule) and the whole series, and either is one
// step of the undo history.
#include "model/vdays.h"
#include "model/vschedule.h"
#include "model/vseries.h"
#include "model/vtodo.h"
#include "platform/command_ids.h"
#include "support/fixed_clock.h"
#include "support/model_builders.h"
#include "support/scripted_ui.h"
#include "support/windowless_commands.h"

#include <gmock/gmock.h>

namespace {

class OccurrenceDeleteTest : public WindowlessCommands<CSkedraDoc> {
  protected:
    void SetUp() override {
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
        WindowlessCommands<CSkedraDoc>::SetUp();
        std::string path = dir.File("doc.vnt");
        {
            VCollection c;
            auto* report = AddNode<VTodo>(c);
            report->what = "Weekly report";
            VSchedule s;
            s.dueDay = DayNumber(2026, 12, 10);
            s.dueMinute = 9 * 60;
            s.rule = "FREQ=WEEKLY;COUNT=5";
            SetSchedule(c, report, s);
            ASSERT_TRUE(c.Save(path.c_str()));
        }
        ASSERT_TRUE(doc->OpenDocument(path.c_str()));
        report = doc->Collection()->root->next;
    }
    void TearDown() override {
        WindowlessCommands<CSkedraDoc>::TearDown();
        unsetenv("TZ");
        tzset();
    }
    std::string Bytes() { return DocumentBytes(*doc->Collection()); }
    // Chooses the agenda row of the occurrence on the day of December 2026.
    void ChooseAgendaRow(int day) {
        view->ShowAgenda();
        Draw();
        for (const AgendaList::Row& row : view->Agenda().Rows())
            if (row.item && row.when.day == DayNumber(2026, 12, day)) {
                view->OnLButtonDown(row.rect.x + 100, row.rect.y + row.rect.height / 2);
                return;
            }
        FAIL() << "no row on day " << day;
    }
    // The days of December 2026 and January 2027 the series shows on.
    std::vector<int> Days() {
        VSchedule s = ScheduleOf(*doc->Collection(), report);
        std::vector<int> days;
        for (const VWhen& w :
             SeriesOccurrences(s, *DueOf(report, s), DayNumber(2026, 12, 1), DayNumber(2027, 1, 31))
                 .found)
            days.push_back((int)(w.day - DayNumber(2026, 12, 1)) + 1);
        return days;
    }

    FixedClock clock{10, 12, 2026};
    ScriptedUI boxes;
    VNode* report = nullptr;
};

TEST_F(OccurrenceDeleteTest, ThisOccurrenceLeavesTheRestOfTheSeriesAndUndoesInOneStep) {
    std::string before = Bytes();
    ChooseAgendaRow(17);
    boxes.answers = {MsgAnswer::Yes};
    ASSERT_TRUE(RunCommand(CMD_DELETE, context));
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, "\"Weekly report\" repeats. Delete only its occurrence on "
                                   "17-Dec-26 09:00, or the whole series?");
    EXPECT_EQ(boxes.asked[0].caption, "Delete a repeating item");
    EXPECT_EQ(boxes.asked[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(ScheduleOf(*doc->Collection(), report).exceptions,
              (std::vector<VWhen>{{DayNumber(2026, 12, 17), 9 * 60}}));
    EXPECT_EQ(Days(), (std::vector<int>{10, 24, 31, 38}));
    EXPECT_TRUE(host.modified);

    ASSERT_TRUE(RunCommand(CMD_UNDO, context));
    EXPECT_EQ(Bytes(), before);
}

TEST_F(OccurrenceDeleteTest, TheDueOccurrenceMovesTheItemOn) {
    ChooseAgendaRow(10);
    boxes.answers = {MsgAnswer::Yes};
    ASSERT_TRUE(RunCommand(CMD_DELETE, context));
    VSchedule s = ScheduleOf(*doc->Collection(), report);
    EXPECT_EQ(*DueOf(report, s), (VWhen{DayNumber(2026, 12, 17), 9 * 60}));
    EXPECT_EQ(s.rule, "FREQ=WEEKLY;COUNT=4") << "one of five gone";
    EXPECT_EQ(Days(), (std::vector<int>{17, 24, 31, 38}));
}

TEST_F(OccurrenceDeleteTest, TheWholeSeriesOrCancel) {
    std::string before = Bytes();
    ChooseAgendaRow(17);
    boxes.answers = {MsgAnswer::Cancel};
    ASSERT_TRUE(RunCommand(CMD_DELETE, context));
    EXPECT_EQ(Bytes(), before);
    EXPECT_FALSE(host.modified);

    boxes.answers = {MsgAnswer::No};
    ASSERT_TRUE(RunCommand(CMD_DELETE, context));
    EXPECT_EQ(boxes.asked.size(), 2u) << "no second question";
    for (VNode* n = doc->Collection()->root->next; n; n = n->next)
        EXPECT_TRUE(n->IsFolderKind()) << "the item is gone";
}

} // namespace
