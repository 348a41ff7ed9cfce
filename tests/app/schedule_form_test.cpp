// The "When?" part of the item dialogs: due dates and times typed in the document's
// format, the repeat and reminder choices, what reaches the item's schedule on OK, and
// what is refused.
#include "app/forms/dlg_agreement.h"
#include "app/forms/dlg_commitem.h"
#include "app/forms/dlg_taskfull.h"
#include "app/forms/dlg_todo.h"
#include "model/vcommitem.h"
#include "model/vdays.h"
#include "model/vreference.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/log_capture.h"
#include "support/model_builders.h"
#include "support/scripted_editor.h"
#include "support/scripted_ui.h"

#include <cstdlib>
#include <ctime>

namespace {

class ScheduleFormTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
        collection.dateFormat = 1; // DD-MM-YYYY
    }
    // The dialog's OK with the fields typed as `type` does; answers whether it closed.
    bool Edit(VNode& node, std::function<void(ScheduleForm&)> type) {
        editor.script = [&](ItemForm& form, int round) {
            if (round > 0) return false; // a refusal: the user gives up
            type(*scheduleOf(form));
            return true;
        };
        return node.Edit();
    }
    static ScheduleForm* scheduleOf(ItemForm& form) {
        if (auto* f = dynamic_cast<CDlgTodo*>(&form)) return &f->schedule;
        if (auto* f = dynamic_cast<CommItemForm*>(&form)) return &f->schedule;
        if (auto* f = dynamic_cast<DlgAgreement*>(&form)) return &f->schedule;
        if (auto* f = dynamic_cast<CDlgTaskFull*>(&form)) return &f->schedule;
        return nullptr;
    }
    VSchedule Schedule(const VNode* node) { return ScheduleOf(collection, node); }

    VCollection collection;
    ScriptedUI ui;
    ScriptedEditor editor;
};

// Every kind with a due date takes it typed, with a time, a repeat until a day and a
// reminder; the rule made is the one the choice names.
TEST_F(ScheduleFormTest, EveryDueKindStoresWhatWasTyped) {
    auto* agreement = AddNode<VAgreement>(collection);
    agreement->withWho = "Ann";
    VNode* nodes[] = {AddNode<VTodo>(collection), AddNode<VCall>(collection),
                      AddNode<VMail>(collection), AddNode<VPay>(collection), agreement};
    for (VNode* node : nodes) {
        SCOPED_TRACE(node->TypeName());
        ASSERT_TRUE(Edit(*node, [](ScheduleForm& s) {
            EXPECT_TRUE(s.HasDueDate());
            EXPECT_STREQ(s.DueShown(), "") << "no due date yet";
            EXPECT_TRUE(s.TakeDue(" 31-01-2027 "));
            EXPECT_TRUE(ScheduleForm::TakeTime("9:05", s.dueMinute));
            s.PickRepeat((int)Repeat::MonthlyLastWeekday);
            EXPECT_TRUE(s.TakeUntil("31-12-2027"));
            s.remindUnit.Pick((int)RemindUnit::Hours);
            EXPECT_TRUE(s.TakeRemindAmount("2"));
            s.repeatFrom.Pick(1);
        }));
        VSchedule s = Schedule(node);
        EXPECT_EQ(s.dueDay, DayNumber(2027, 1, 31));
        EXPECT_EQ(s.dueMinute, 9 * 60 + 5);
        EXPECT_EQ(s.rule, "FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1;UNTIL=20271231T235959");
        EXPECT_EQ(s.repeatFrom, RepeatFrom::DayDone);
        EXPECT_EQ(s.reminderMinutes, 120);
        // Opened again, the dialog shows what it stored.
        ScheduleForm again(collection, *node);
        EXPECT_STREQ(again.DueShown(), "31-01-2027");
        EXPECT_STREQ(ScheduleForm::TimeShown(again.dueMinute), "09:05");
        EXPECT_EQ(again.RepeatShown(), (int)Repeat::MonthlyLastWeekday);
        EXPECT_STREQ(again.UntilShown(), "31-12-2027");
        EXPECT_STREQ(again.RemindAmountShown(), "2");
        EXPECT_EQ(again.remindUnit.Shown(), (int)RemindUnit::Hours);
    }
    EXPECT_TRUE(ui.asked.empty());
}

// An action keeps its days; the times of day and the repeat go with them.
TEST_F(ScheduleFormTest, AnActionTakesTimesOfDayAndARepeat) {
    auto* action = AddNode<VTask>(collection);
    action->what = "Stand-up";
    action->flags &= ~NO_DATE;
    action->startDate = "2027-01-04";
    action->duration = 1;
    ASSERT_TRUE(Edit(*action, [](ScheduleForm& s) {
        EXPECT_FALSE(s.HasDueDate());
        EXPECT_TRUE(ScheduleForm::TakeTime("09:00", s.startMinute));
        EXPECT_TRUE(ScheduleForm::TakeTime("09:15", s.endMinute));
        s.PickRepeat((int)Repeat::Weekdays);
        EXPECT_TRUE(s.TakeTimes("10"));
        s.remindUnit.Pick((int)RemindUnit::AtDue);
    }));
    VSchedule s = Schedule(action);
    EXPECT_EQ(s.startMinute, 9 * 60);
    EXPECT_EQ(s.endMinute, 9 * 60 + 15);
    EXPECT_EQ(s.rule, "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR;COUNT=10");
    EXPECT_EQ(s.reminderMinutes, 0);
    EXPECT_STREQ(action->startDate.Text(), "2027-01-04");
}

// A rule the choices cannot show is offered as it is and kept byte for byte, also when
// other fields change; another choice replaces it. An item edited without a schedule
// gets no extension record.
TEST_F(ScheduleFormTest, ACustomRuleIsKeptUntilAnotherIsChosen) {
    auto* todo = AddNode<VTodo>(collection);
    VSchedule custom;
    custom.dueDay = DayNumber(2027, 1, 31);
    custom.rule = "FREQ=MONTHLY;BYMONTHDAY=31;WKST=SU";
    SetSchedule(collection, todo, custom);
    auto* broken = AddNode<VTodo>(collection);
    custom.rule = "FREQ=SOMETIMES";
    SetSchedule(collection, broken, custom);

    ScheduleForm shown(collection, *todo);
    EXPECT_EQ(shown.RepeatEntries().back(), "custom: FREQ=MONTHLY;BYMONTHDAY=31;WKST=SU");
    EXPECT_EQ(shown.RepeatShown(), (int)Repeat::Custom);
    EXPECT_EQ(ScheduleForm(collection, *broken).RepeatEntries().back(),
              "repeats (unreadable rule)");
    auto* noCount = AddNode<VTodo>(collection);
    custom.rule = "FREQ=DAILY;COUNT=-5";
    SetSchedule(collection, noCount, custom);
    EXPECT_EQ(ScheduleForm(collection, *noCount).RepeatEntries().back(),
              "repeats (unreadable rule)");
    ASSERT_TRUE(Edit(
        *todo, [](ScheduleForm& s) { EXPECT_TRUE(ScheduleForm::TakeTime("18:00", s.dueMinute)); }));
    EXPECT_EQ(Schedule(todo).rule, "FREQ=MONTHLY;BYMONTHDAY=31;WKST=SU");
    ASSERT_TRUE(Edit(*broken, [](ScheduleForm&) {}));
    EXPECT_EQ(Schedule(broken).rule, "FREQ=SOMETIMES");
    ASSERT_TRUE(Edit(*todo, [](ScheduleForm& s) { s.PickRepeat((int)Repeat::Yearly); }));
    EXPECT_EQ(Schedule(todo).rule, "FREQ=YEARLY");

    auto* plain = AddNode<VTodo>(collection);
    ASSERT_TRUE(Edit(*plain, [](ScheduleForm&) {}));
    EXPECT_EQ(collection.extensions.Find(plain), nullptr);
}

// Texts that name no day, time or number are refused with a message and change nothing;
// fields that contradict each other keep the dialog open.
TEST_F(ScheduleFormTest, WhatCannotBeStoredIsRefused) {
    auto* todo = AddNode<VTodo>(collection);
    ScheduleForm s(collection, *todo);
    std::optional<int> minute = 600;
    for (const char* typed : {"25:00", "9", "09:60", "noon"}) {
        EXPECT_FALSE(ScheduleForm::TakeTime(typed, minute)) << typed;
        EXPECT_EQ(minute, 600) << typed;
    }
    EXPECT_FALSE(s.TakeDue("31-02-2027"));
    EXPECT_FALSE(s.TakeTimes("0"));
    EXPECT_FALSE(s.TakeRemindAmount("soon"));
    EXPECT_EQ(ui.asked.size(), 7u);
    EXPECT_EQ(ui.asked[0].text, "\"25:00\" is not a time. Please type the time as HH:MM.");

    struct Case {
        std::function<void(ScheduleForm&)> type;
        const char* message;
    } cases[] = {
        {[](ScheduleForm& f) { f.PickRepeat((int)Repeat::Daily); },
         "A repeat or a reminder needs a due date."},
        {[](ScheduleForm& f) { ScheduleForm::TakeTime("10:00", f.dueMinute); },
         "Please type the due date of the time."},
        {[](ScheduleForm& f) {
             f.TakeDue("01-02-2027");
             f.PickRepeat((int)Repeat::Daily);
             f.TakeUntil("01-03-2027");
             f.TakeTimes("3");
         },
         "A repeat ends on a day or after a number of times, not both."},
        {[](ScheduleForm& f) {
             f.TakeDue("01-02-2027");
             f.remindUnit.Pick((int)RemindUnit::Days);
         },
         "Please type how long before the due time to remind."},
    };
    for (Case& c : cases) {
        ui.asked.clear();
        EXPECT_FALSE(Edit(*todo, c.type)) << c.message;
        ASSERT_EQ(ui.asked.size(), 1u) << c.message;
        EXPECT_EQ(ui.asked[0].text, c.message);
        EXPECT_EQ(collection.extensions.Find(todo), nullptr) << c.message;
    }
}

// Ticking "Done" in the dialog of a repeating item is a tick like the check box's: the
// item moves to its next occurrence and stays to do.
TEST_F(ScheduleFormTest, DoneInTheDialogMovesARepeatOn) {
    auto* todo = AddNode<VTodo>(collection);
    ASSERT_TRUE(Edit(*todo, [](ScheduleForm& s) {
        s.TakeDue("04-01-2027");
        s.PickRepeat((int)Repeat::Weekly);
    }));
    editor.script = [](ItemForm& form, int) {
        static_cast<CDlgTodo&>(form).done = true;
        return true;
    };
    ASSERT_TRUE(todo->Edit());
    EXPECT_FALSE(todo->flags & DONE);
    EXPECT_EQ(Schedule(todo).dueDay, DayNumber(2027, 1, 11));
}

} // namespace
