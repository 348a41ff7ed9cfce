// The dialogs' repeat choices and the RRULEs they make, both ways, and the reminder
// offsets in their units.
#include "app/forms/repeat_choices.h"

#include <gtest/gtest.h>

namespace {

QDate Day(int day, int month, int year) {
    QDate date;
    date.SetDate(day, month, year);
    return date;
}

RepeatChoice Choice(Repeat repeat, RepeatEnd end = RepeatEnd::Never, QDate until = {},
                    int count = 0) {
    RepeatChoice choice;
    choice.repeat = repeat;
    choice.end = end;
    choice.until = until;
    choice.count = count;
    return choice;
}

// Each choice makes its rule, and the rule reads back as the same choice.
TEST(RepeatChoicesTest, EveryChoiceMakesItsRuleAndReadsBack) {
    struct Case {
        RepeatChoice choice;
        bool timed;
        const char* rule;
    } cases[] = {
        {Choice(Repeat::None), false, ""},
        {Choice(Repeat::Daily), false, "FREQ=DAILY"},
        {Choice(Repeat::Weekdays), false, "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR"},
        {Choice(Repeat::Weekly), false, "FREQ=WEEKLY"},
        {Choice(Repeat::TwoWeeks), false, "FREQ=WEEKLY;INTERVAL=2"},
        {Choice(Repeat::MonthlyOnDay), false, "FREQ=MONTHLY"},
        {Choice(Repeat::MonthlyLastWeekday), false,
         "FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1"},
        {Choice(Repeat::Yearly), false, "FREQ=YEARLY"},
        {Choice(Repeat::Weekly, RepeatEnd::Until, Day(31, 12, 2027)), false,
         "FREQ=WEEKLY;UNTIL=20271231"},
        {Choice(Repeat::Weekly, RepeatEnd::Until, Day(31, 12, 2027)), true,
         "FREQ=WEEKLY;UNTIL=20271231T235959"},
        {Choice(Repeat::MonthlyLastWeekday, RepeatEnd::Count, {}, 12), false,
         "FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1;COUNT=12"},
        {Choice(Repeat::Yearly, RepeatEnd::Count, {}, 5), true, "FREQ=YEARLY;COUNT=5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        EXPECT_EQ(RuleOfChoice(c.choice, c.timed), c.rule);
        RepeatChoice read = ChoiceOfRule(c.rule);
        EXPECT_TRUE(read == c.choice) << "read back as choice " << (int)read.repeat;
    }
}

// Rules written by other programs: the same rule in another order or case reads as its
// choice; anything the choices cannot show, or libical cannot read, is custom.
TEST(RepeatChoicesTest, OtherRulesReadAsTheirChoiceOrCustom) {
    struct Case {
        const char* rule;
        Repeat repeat;
    } cases[] = {
        {"INTERVAL=2;FREQ=WEEKLY", Repeat::TwoWeeks},
        {"freq=weekly;byday=FR,TH,WE,TU,MO", Repeat::Weekdays},
        {"FREQ=MONTHLY;BYSETPOS=-1;BYDAY=MO,TU,WE,TH,FR", Repeat::MonthlyLastWeekday},
        {"FREQ=DAILY;INTERVAL=1", Repeat::Daily},
        {"FREQ=WEEKLY;INTERVAL=3", Repeat::Custom},
        {"FREQ=MONTHLY;BYMONTHDAY=31", Repeat::Custom},
        {"FREQ=MONTHLY;BYDAY=-1FR", Repeat::Custom},
        {"FREQ=WEEKLY;BYDAY=TU,TH", Repeat::Custom},
        {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29", Repeat::Custom},
        {"FREQ=HOURLY", Repeat::Custom},
        {"FREQ=SOMETIMES", Repeat::Custom},
        {"not a rule at all", Repeat::Custom},
    };
    for (const Case& c : cases)
        EXPECT_EQ((int)ChoiceOfRule(c.rule).repeat, (int)c.repeat) << c.rule;
    // A custom rule makes no rule of its own: the form keeps the stored one.
    EXPECT_EQ(RuleOfChoice(ChoiceOfRule("FREQ=WEEKLY;INTERVAL=3"), false), "");
}

TEST(RepeatChoicesTest, ReminderOffsetsShowInTheirLargestUnit) {
    struct Case {
        int minutes;
        RemindUnit unit;
        int amount;
    } cases[] = {
        {-1, RemindUnit::None, 0},       {0, RemindUnit::AtDue, 0},   {15, RemindUnit::Minutes, 15},
        {90, RemindUnit::Minutes, 90},   {120, RemindUnit::Hours, 2}, {1440, RemindUnit::Days, 1},
        {2 * 1440, RemindUnit::Days, 2},
    };
    for (const Case& c : cases) {
        ReminderChoice choice = ReminderOfMinutes(c.minutes);
        EXPECT_EQ((int)choice.unit, (int)c.unit) << c.minutes;
        EXPECT_EQ(choice.amount, c.amount) << c.minutes;
        EXPECT_EQ(MinutesOfReminder(choice), c.minutes);
    }
    EXPECT_EQ(MinutesOfReminder({RemindUnit::Hours, 3}), 180);
    EXPECT_EQ(MinutesOfReminder({RemindUnit::Days, -2}), 0) << "never after the due time";
}

} // namespace
