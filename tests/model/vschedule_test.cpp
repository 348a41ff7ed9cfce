// Schedules: stored in the extension record, expanded by libical, ticked done, and
// listed in the agenda.
#include "model/vagenda.h"
#include "model/vcommitem.h"
#include "model/vdays.h"
#include "model/vgroup.h"
#include "model/vrecurrence.h"
#include "model/vreference.h"
#include "model/vschedule.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/fixed_clock.h"
#include "support/log_capture.h"
#include "support/model_builders.h"

#include <cstdlib>
#include <gmock/gmock.h>
#include <map>
#include <string>
#include <vector>

namespace {

long Day(const char* text) {
    long day = 0;
    EXPECT_TRUE(ParseDayText(text, day)) << text;
    return day;
}

// "YYYY-MM-DD" or "YYYY-MM-DD HH:MM".
std::string Text(const VWhen& when) {
    return DayText(when.day) + (when.minute ? " " + MinuteText(*when.minute) : "");
}

std::vector<std::string> Texts(const std::vector<VWhen>& whens) {
    std::vector<std::string> out;
    for (const VWhen& w : whens)
        out.push_back(Text(w));
    return out;
}

struct OccurrenceCase {
    const char* rule;
    const char* first;
    std::optional<int> minute;
    const char* from;
    const char* to;
    std::vector<std::string> expected;
};

TEST(OccurrencesTest, FollowTheRuleFromTheFirstOccurrence) {
    const OccurrenceCase cases[] = {
        {"FREQ=MONTHLY;BYMONTHDAY=31",
         "2026-01-31",
         {},
         "2026-01-01",
         "2026-08-31",
         {"2026-01-31", "2026-03-31", "2026-05-31", "2026-07-31", "2026-08-31"}},
        {"FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1",
         "2026-01-30",
         {},
         "2026-01-01",
         "2026-05-31",
         {"2026-01-30", "2026-02-27", "2026-03-31", "2026-04-30", "2026-05-29"}},
        {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29",
         "2024-02-29",
         {},
         "2024-01-01",
         "2032-12-31",
         {"2024-02-29", "2028-02-29", "2032-02-29"}},
        {"FREQ=WEEKLY;COUNT=3",
         "2026-01-01",
         9 * 60,
         "2025-01-01",
         "2027-01-01",
         {"2026-01-01 09:00", "2026-01-08 09:00", "2026-01-15 09:00"}},
        {"FREQ=WEEKLY;UNTIL=20260115",
         "2026-01-01",
         {},
         "2025-01-01",
         "2027-01-01",
         {"2026-01-01", "2026-01-08", "2026-01-15"}},
        {"FREQ=WEEKLY;INTERVAL=2;BYDAY=TU,TH",
         "2026-01-06",
         {},
         "2026-01-01",
         "2026-01-31",
         {"2026-01-06", "2026-01-08", "2026-01-20", "2026-01-22"}},
        // The first occurrence counts even where the rule would not put one.
        {"FREQ=MONTHLY;BYMONTHDAY=15",
         "2026-01-10",
         {},
         "2026-01-01",
         "2026-02-28",
         {"2026-01-10", "2026-01-15", "2026-02-15"}},
        // Only the span's days, the first occurrence included only when it is in it.
        {"FREQ=DAILY",
         "2026-01-01",
         30,
         "2026-03-01",
         "2026-03-03",
         {"2026-03-01 00:30", "2026-03-02 00:30", "2026-03-03 00:30"}},
        {"", "2026-01-01", {}, "2026-01-01", "2026-12-31", {"2026-01-01"}},
        // Rules libical rejects, or that never match: the first occurrence alone.
        {"FREQ=FOO", "2026-01-01", {}, "2026-01-01", "2026-12-31", {"2026-01-01"}},
        {"FREQ=WEEKLY;COUNT=2;UNTIL=20260301",
         "2026-01-01",
         {},
         "2026-01-01",
         "2026-12-31",
         {"2026-01-01"}},
        {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=30",
         "2026-01-01",
         {},
         "2026-01-01",
         "2099-12-31",
         {"2026-01-01"}},
    };
    for (const OccurrenceCase& c : cases)
        EXPECT_EQ(Texts(Occurrences(c.rule, {Day(c.first), c.minute}, Day(c.from), Day(c.to)).found),
                  c.expected)
            << c.rule;
}

// No series stops at an age: a daily rule lists its days up to the cap, and goes on.
TEST(OccurrencesTest, ARuleThatNeverEndsIsListedUpToTheCapAndGoesOn) {
    OccurrenceList all =
        Occurrences("FREQ=DAILY", {Day("2026-01-01"), {}}, Day("2026-01-01"), Day("2199-01-01"));
    ASSERT_EQ(all.found.size(), MAX_LISTED_OCCURRENCES);
    EXPECT_EQ(Text(all.found.back()), DayText(Day("2026-01-01") + MAX_LISTED_OCCURRENCES - 1));
    ASSERT_TRUE(all.cutAfter);
    EXPECT_EQ(*all.cutAfter, all.found.back());
    std::optional<VWhen> next =
        NextOccurrence("FREQ=DAILY", {Day("2026-01-01"), {}}, {Day("2036-01-01"), {}});
    ASSERT_TRUE(next);
    EXPECT_EQ(Text(*next), "2036-01-02");
    EXPECT_FALSE(RuleReadable("FREQ=FOO"));
    EXPECT_FALSE(RuleReadable(""));
    EXPECT_TRUE(RuleReadable("FREQ=DAILY"));
}

class ScheduleTest : public LogTest {
  protected:
    VCollection collection;
};

TEST_F(ScheduleTest, EveryFieldReadsBackAndEachKindKeepsOnlyWhatItCanCarry) {
    VSchedule full;
    full.dueDay = Day("2026-03-31");
    full.dueMinute = 17 * 60 + 5;
    full.startMinute = 9 * 60;
    full.endMinute = 10 * 60 + 30;
    full.rule = "FREQ=MONTHLY;BYMONTHDAY=31";
    full.repeatFrom = RepeatFrom::DayDone;
    full.reminderMinutes = 0;
    full.doneDay = Day("2026-02-28");
    full.reminderShown = VWhen{Day("2026-01-31"), 17 * 60 + 5};

    VSchedule due = full, action = full;
    due.startMinute.reset(), due.endMinute.reset();
    action.dueDay.reset(), action.dueMinute.reset();
    struct Case {
        VNode* node;
        VSchedule expected;
    } cases[] = {
        {AddNode<VTodo>(collection), due},      {AddNode<VCall>(collection), due},
        {AddNode<VMail>(collection), due},      {AddNode<VPay>(collection), due},
        {AddNode<VAgreement>(collection), due}, {AddNode<VTask>(collection), action},
        {AddNode<VGroup>(collection), {}},      {AddNode<VFact>(collection), {}},
    };
    for (const Case& c : cases) {
        SetSchedule(collection, c.node, full);
        EXPECT_EQ(ScheduleOf(collection, c.node), c.expected) << c.node->TypeName();
        EXPECT_EQ(collection.extensions.Find(c.node) != nullptr, !c.expected.Empty());
    }
    // Saved and loaded, every field comes back, and the file is written byte for byte
    // (each load reverses the list, so twice).
    std::string bytes = DocumentBytes(collection);
    VCollection loaded, again;
    LoadBytes(loaded, bytes);
    LoadBytes(again, DocumentBytes(loaded));
    EXPECT_EQ(DocumentBytes(again), bytes);
    std::map<std::string, VSchedule> byKind;
    for (VNode* n = loaded.root->next; n; n = n->next)
        byKind[n->TypeName()] = ScheduleOf(loaded, n);
    for (const Case& c : cases)
        EXPECT_EQ(byKind[c.node->TypeName()], c.expected) << c.node->TypeName();

    // Clearing the schedule leaves no record; other fields stay.
    VNode* todo = cases[0].node;
    collection.extensions.SetField(todo, VExtensions::UID, "u-1");
    SetSchedule(collection, todo, {});
    EXPECT_EQ(*collection.extensions.Find(todo), (VExtensionFields{{"uid", "u-1"}}));
    SetSchedule(collection, cases[1].node, {});
    EXPECT_EQ(collection.extensions.Find(cases[1].node), nullptr);
}

TEST_F(ScheduleTest, ADueTimeInADaylightSavingGapMovesToTheNextMinuteThatExists) {
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    // 29 March 2026: 02:00 becomes 03:00 in Berlin.
    EXPECT_EQ(Text(ExistingLocalTime({Day("2026-03-29"), 2 * 60 + 30})), "2026-03-29 03:00");
    EXPECT_EQ(Text(ExistingLocalTime({Day("2026-03-29"), 1 * 60 + 59})), "2026-03-29 01:59");
    EXPECT_EQ(LocalInstant({Day("2026-03-29"), 2 * 60 + 30}),
              LocalInstant({Day("2026-03-29"), 3 * 60}));
    // A weekly 09:00 stays 09:00 local: one hour less between the two moments.
    std::vector<VWhen> weekly = Occurrences("FREQ=WEEKLY", {Day("2026-03-23"), 9 * 60},
                                            Day("2026-03-23"), Day("2026-03-30"))
                                    .found;
    ASSERT_EQ(Texts(weekly), (std::vector<std::string>{"2026-03-23 09:00", "2026-03-30 09:00"}));
    EXPECT_EQ(LocalInstant(weekly[1]) - LocalInstant(weekly[0]), 7 * 86400 - 3600);

    VTodo* todo = AddNode<VTodo>(collection);
    VSchedule s;
    s.dueDay = Day("2026-03-29");
    s.dueMinute = 2 * 60 + 15;
    SetSchedule(collection, todo, s);
    EXPECT_EQ(collection.extensions.Field(todo, VExtensions::DUE_TIME), "03:00");
}

struct TickCase {
    bool action;
    const char* rule;
    RepeatFrom from;
    const char* due;
    const char* today;
    const char* nextDue; // where the item is afterwards
    bool done;
    const char* ruleAfter;
};

TEST_F(ScheduleTest, TickingARepeatingItemDoneMovesItToItsNextOccurrence) {
    const TickCase cases[] = {
        {false, "FREQ=MONTHLY;BYMONTHDAY=31", RepeatFrom::DueDate, "2026-01-31", "2026-02-02",
         "2026-03-31", false, "FREQ=MONTHLY;BYMONTHDAY=31"},
        {true, "FREQ=MONTHLY;BYMONTHDAY=31", RepeatFrom::DueDate, "2026-01-31", "2026-01-30",
         "2026-03-31", false, "FREQ=MONTHLY;BYMONTHDAY=31"},
        {false, "FREQ=DAILY;COUNT=3", RepeatFrom::DueDate, "2026-01-01", "2026-01-01", "2026-01-02",
         false, "FREQ=DAILY;COUNT=2"},
        {false, "FREQ=DAILY;COUNT=1", RepeatFrom::DueDate, "2026-01-01", "2026-01-05", "2026-01-01",
         true, "FREQ=DAILY;COUNT=1"},
        {false, "FREQ=WEEKLY;UNTIL=20260115", RepeatFrom::DueDate, "2026-01-15", "2026-01-15",
         "2026-01-15", true, "FREQ=WEEKLY;UNTIL=20260115"},
        {false, "FREQ=WEEKLY;INTERVAL=2", RepeatFrom::DayDone, "2026-01-01", "2026-01-10",
         "2026-01-24", false, "FREQ=WEEKLY;INTERVAL=2"},
        {true, "FREQ=WEEKLY;INTERVAL=2", RepeatFrom::DayDone, "2026-01-01", "2026-01-10",
         "2026-01-24", false, "FREQ=WEEKLY;INTERVAL=2"},
        {false, "", RepeatFrom::DueDate, "2026-01-01", "2026-01-10", "2026-01-01", true, ""},
        {false, "FREQ=FOO", RepeatFrom::DueDate, "2026-01-01", "2026-01-10", "2026-01-01", true,
         "FREQ=FOO"},
    };
    for (const TickCase& c : cases) {
        SCOPED_TRACE(std::string(c.action ? "action " : "to-do ") + c.rule);
        VCollection doc;
        VNode* item;
        VSchedule s;
        s.rule = c.rule;
        s.repeatFrom = c.from;
        if (c.action) {
            auto* task = AddNode<VTask>(doc);
            task->flags = 0;
            task->startDate = c.due;
            task->duration = 2;
            item = task;
        } else {
            item = AddNode<VTodo>(doc);
            s.dueDay = Day(c.due);
        }
        SetSchedule(doc, item, s);
        EXPECT_EQ(SetItemDone(doc, item, true, Day(c.today)), c.done);
        EXPECT_EQ((item->flags & DONE) != 0, c.done);
        VSchedule after = ScheduleOf(doc, item);
        EXPECT_EQ(Text(*DueOf(item, after)), c.nextDue);
        EXPECT_EQ(after.rule, c.ruleAfter);
        EXPECT_EQ(after.doneDay, c.rule[0] ? std::optional<long>(Day(c.today)) : std::nullopt);
        if (c.action) {
            EXPECT_EQ(static_cast<VTask*>(item)->duration, 2);
        }
    }
}

TEST_F(ScheduleTest, TickingNotDoneOnlyClearsTheMark) {
    VTodo* todo = AddNode<VTodo>(collection);
    VSchedule s;
    s.dueDay = Day("2026-01-01");
    s.rule = "FREQ=DAILY;COUNT=1";
    SetSchedule(collection, todo, s);
    ASSERT_TRUE(SetItemDone(collection, todo, true, Day("2026-01-01")));
    EXPECT_FALSE(SetItemDone(collection, todo, false, Day("2026-01-02")));
    EXPECT_FALSE(todo->flags & DONE);
    EXPECT_EQ(Text(*DueOf(collection, todo)), "2026-01-01");
}

// The moment an item is ticked done is kept once, in UTC, for the iCalendar COMPLETED:
// ticking it again later keeps the first moment; unticking forgets it.
TEST_F(ScheduleTest, TickingDoneKeepsTheMomentItWasDoneOnce) {
    FixedClock clock(11, 12, 2026);
    std::time_t first = 1796970600; // 2026-12-11 06:30:00 UTC
    clock.Set(first);
    VTodo* todo = AddNode<VTodo>(collection);
    std::string undone = DocumentBytes(collection);
    EXPECT_EQ(DoneAt(collection, todo), std::nullopt);
    ASSERT_TRUE(SetItemDone(collection, todo, true));
    EXPECT_EQ(DoneAt(collection, todo), first);
    EXPECT_EQ(collection.extensions.Field(todo, VExtensions::DONE_AT), "2026-12-11T06:30:00Z");
    clock.Set(first + 3600);
    SetItemDone(collection, todo, true);
    EXPECT_EQ(DoneAt(collection, todo), first) << "set once";
    EXPECT_FALSE(SetItemDone(collection, todo, false));
    EXPECT_EQ(DoneAt(collection, todo), std::nullopt);
    EXPECT_EQ(DocumentBytes(collection), undone) << "unticked, the document is what it was";

    // A repeating item moves on, not done: no moment; its last occurrence keeps one.
    VSchedule s;
    s.dueDay = Day("2026-12-10");
    s.rule = "FREQ=DAILY;COUNT=2";
    SetSchedule(collection, todo, s);
    EXPECT_FALSE(SetItemDone(collection, todo, true));
    EXPECT_EQ(DoneAt(collection, todo), std::nullopt);
    EXPECT_TRUE(SetItemDone(collection, todo, true));
    EXPECT_EQ(DoneAt(collection, todo), first + 3600);

    // The field reads back only as a UTC moment.
    for (const char* text : {"2026-12-11T06:30:00", "2026-13-11T06:30:00Z", "yesterday", ""}) {
        collection.extensions.SetField(todo, VExtensions::DONE_AT, text);
        EXPECT_EQ(DoneAt(collection, todo), std::nullopt) << text;
    }
}

TEST_F(ScheduleTest, TheAgendaListsEachOccurrenceOnceInDueOrderByGroup) {
    VGroup* home = AddNode<VGroup>(collection);
    home->name = "Home";
    VGroup* bills = AddNode<VGroup>(collection, home);
    bills->name = "Bills";
    auto todo = [&](const char* what, VNode* parent, const char* due, std::optional<int> minute,
                    const char* rule) {
        VTodo* t = AddNode<VTodo>(collection, parent);
        t->what = what;
        VSchedule s;
        s.dueDay = Day(due);
        s.dueMinute = minute;
        s.rule = rule;
        SetSchedule(collection, t, s);
        return t;
    };
    // Today is Thursday 2026-01-08.
    todo("Rent", bills, "2026-01-01", {}, "FREQ=MONTHLY");     // overdue, then 1 Feb
    todo("Dentist", home, "2026-01-09", 9 * 60, "");           // tomorrow
    todo("Gym", nullptr, "2026-01-08", 18 * 60, "FREQ=DAILY"); // today, every day
    todo("Done already", home, "2026-01-08", {}, "")->flags |= DONE;
    todo("Asleep", home, "2026-01-08", {}, "")->flags |= INACTIVE;
    todo("Far away", home, "2027-01-01", {}, "");
    AddNode<VTodo>(collection, home)->what = "No due day";
    auto* trip = AddNode<VTask>(collection, home);
    trip->what = "Trip";
    trip->flags = 0;
    trip->startDate = "2026-01-06"; // running: 6 to 9 January
    trip->duration = 4;
    auto* undated = AddNode<VTask>(collection, home);
    undated->what = "Undated";

    std::vector<std::string> lines;
    for (const AgendaEntry& e :
         BuildAgenda(collection, Day("2026-01-08"), Day("2026-02-01"), Day("2026-01-08")).entries)
        if (e.text != "Gym" || e.when.day <= Day("2026-01-12"))
            lines.push_back(std::string(AgendaGroupTitle(e.group)) + " " + Text(e.when) + " " +
                            e.text + " [" + e.folder + "]");
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "Overdue 2026-01-01 Rent [Home / Bills]",
                         "Today 2026-01-06 Trip [Home]",
                         "Today 2026-01-08 18:00 Gym []",
                         "Tomorrow 2026-01-09 09:00 Dentist [Home]",
                         "Tomorrow 2026-01-09 18:00 Gym []",
                         "This week 2026-01-10 18:00 Gym []",
                         "This week 2026-01-11 18:00 Gym []",
                         "Later 2026-01-12 18:00 Gym []",
                         "Later 2026-02-01 Rent [Home / Bills]",
                     }));
}

} // namespace
