// Whatever the item view shows follows a change at once, in the list, the agenda and the
// month calendar alike: a due date changed in the item's dialog, the date format chosen in
// Preferences, and a new day on the clock each ask the windows for a redraw, and the next
// paint shows the new rows in the new format without any other call.
#include "app/forms/dlg_prefs.h"
#include "model/vdays.h"
#include "model/vschedule.h"
#include "model/vtodo.h"
#include "platform/command_ids.h"
#include "support/answering_editor.h"
#include "support/fixed_clock.h"
#include "support/model_builders.h"
#include "support/scripted_editor.h"
#include "support/windowless_commands.h"

#include <cstdlib>
#include <ctime>
#include <gmock/gmock.h>

namespace {

using ::testing::Contains;
using ::testing::Not;

enum class Mode { List, Agenda, Calendar };

const char* ModeName(Mode mode) {
    return mode == Mode::List ? "list" : mode == Mode::Agenda ? "agenda" : "calendar";
}

class ViewRefreshTest : public WindowlessCommands<CSkedraDoc> {
  protected:
    void SetUp() override {
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
        WindowlessCommands::SetUp();
        C().dateFormat = 1; // 25-06-2010
    }
    void Show(Mode mode) {
        Run(mode == Mode::List     ? CMD_AS_LIST
            : mode == Mode::Agenda ? CMD_AS_AGENDA
                                   : CMD_AS_CALENDAR);
    }
    // A to-do due on the day of December 2026.
    VTodo* Due(const char* what, int day) {
        auto* todo = AddNode<VTodo>(C());
        todo->what = what;
        VSchedule s;
        s.dueDay = DayNumber(2026, 12, day);
        SetSchedule(C(), todo, s);
        return todo;
    }
    // Every text a paint of the window draws, as the window would paint after a redraw:
    // nothing else tells the view about the change.
    std::vector<std::string> Painted() {
        Draw();
        std::vector<std::string> texts;
        for (auto kind : {CanvasCall::Text, CanvasCall::TextEllipsis})
            for (const CanvasCall& call : dc.Calls(kind))
                texts.push_back(call.text);
        return texts;
    }

    FixedClock clock{10, 12, 2026}; // a Thursday
};

TEST_F(ViewRefreshTest, ADueDateChangedInTheDialogShowsAtOnce) {
    VTodo* present = Due("Buy a present", 12);
    for (Mode mode : {Mode::List, Mode::Agenda}) {
        SCOPED_TRACE(ModeName(mode));
        VSchedule back = ScheduleOf(C(), present);
        back.dueDay = DayNumber(2026, 12, 12);
        SetSchedule(C(), present, back);
        doc->ItemsChanged();
        Show(mode);
        ASSERT_THAT(Painted(), Contains("12-12-2026"));
        present->Select();
        AnsweringEditor dialog;
        dialog.answer = [this](VNode& node) {
            VSchedule s = ScheduleOf(C(), &node);
            s.dueDay = DayNumber(2026, 12, 20);
            SetSchedule(C(), &node, s);
            return true;
        };
        int redraws = host.updates;
        Run(CMD_EDIT);
        EXPECT_GT(host.updates, redraws) << "the windows were asked to redraw";
        std::vector<std::string> shown = Painted();
        EXPECT_THAT(shown, Contains("20-12-2026"));
        EXPECT_THAT(shown, Not(Contains("12-12-2026")));
    }
}

TEST_F(ViewRefreshTest, TheDateFormatOfPreferencesShowsAtOnceInEveryMode) {
    Due("Buy a present", 3);
    for (Mode mode : {Mode::List, Mode::Agenda, Mode::Calendar}) {
        SCOPED_TRACE(ModeName(mode));
        C().dateFormat = 1;
        Show(mode);
        Painted();
        ScriptedEditor dialog;
        dialog.script = [](ItemForm& form, int) {
            static_cast<DlgPrefs&>(form).dateFormat.Pick(2); // 06-25-2010
            return true;
        };
        int redraws = host.updates;
        view->needsRebuild = false;
        Run(CMD_PREFERENCES);
        EXPECT_GT(host.updates, redraws) << "the windows were asked to redraw";
        EXPECT_TRUE(view->needsRebuild) << "the rows are made again";
        if (mode != Mode::Calendar) {
            EXPECT_THAT(Painted(), Contains("12-03-2026"));
        }
    }
}

TEST_F(ViewRefreshTest, ANewDayOnTheClockRedrawsTheAgendaWithItsGroups) {
    Due("Buy a present", 11);
    Show(Mode::Agenda);
    Painted();
    ASSERT_GE(view->Agenda().Rows().size(), 2u);
    EXPECT_EQ(view->Agenda().Rows()[0].group, AgendaGroup::Tomorrow);

    int redraws = host.updates;
    doc->ClockTicked();
    EXPECT_EQ(host.updates, redraws) << "the same day: nothing to redraw";

    std::tm next{};
    next.tm_mday = 11, next.tm_mon = 11, next.tm_year = 2026 - 1900, next.tm_hour = 0;
    next.tm_min = 5, next.tm_isdst = -1;
    clock.Set(std::mktime(&next));
    doc->ClockTicked();
    EXPECT_GT(host.updates, redraws) << "past midnight the windows redraw";
    std::vector<std::string> shown = Painted();
    EXPECT_EQ(view->Agenda().Rows()[0].group, AgendaGroup::Today);
    EXPECT_THAT(shown, Contains("All folders on 11-12-2026"));
}

} // namespace
