// The schedule in iCalendar: times of day on DUE and DTSTART, RRULE, the repeat's origin
// and the reminder as a VALARM, written and read back.
#include "interop/ical_export.h"
#include "interop/ical_import.h"
#include "interop/ical_reading.h"
#include "model/vcommitem.h"
#include "model/vdays.h"
#include "model/vschedule.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/log_capture.h"
#include "support/model_builders.h"

#include <cstdlib>
#include <gmock/gmock.h>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

long Day(int year, int month, int day) {
    return DayNumber(year, month, day);
}

// Every kind of schedule the export writes, each on an item of its own.
struct ExportCase {
    const char* summary;
    VSchedule schedule;
    const char* actionStart; // null: a to-do (or the call below)
    int actionDays;
    std::map<std::string, std::string> expected; // property values; "" for none
    std::vector<std::string> lines;              // in the VTODO's text
};

VSchedule Schedule(std::optional<long> due, std::optional<int> dueMinute, const char* rule,
                   std::optional<int> reminder, std::optional<int> start = {},
                   std::optional<int> end = {}, RepeatFrom from = RepeatFrom::DueDate) {
    VSchedule s;
    s.dueDay = due;
    s.dueMinute = dueMinute;
    s.rule = rule;
    s.reminderMinutes = reminder;
    s.startMinute = start;
    s.endMinute = end;
    s.repeatFrom = from;
    return s;
}

std::vector<ExportCase> Cases() {
    return {
        {"Due day",
         Schedule(Day(2026, 3, 31), {}, "", {}),
         nullptr,
         0,
         {{"DUE", "20260331"}, {"DTSTART", ""}, {"RRULE", ""}},
         {}},
        {"Rent",
         Schedule(Day(2026, 3, 31), 8 * 60 + 30, "FREQ=MONTHLY;BYMONTHDAY=31", 15),
         nullptr,
         0,
         // A repeat needs its start (RFC 5545): the first occurrence, as DUE has it.
         {{"DUE", "20260331T083000"},
          {"DTSTART", "20260331T083000"},
          {"RRULE", "FREQ=MONTHLY;BYMONTHDAY=31"}},
         {"TRIGGER;RELATED=END:-PT15M\r\n", "ACTION:DISPLAY\r\n", "DESCRIPTION:Rent\r\n"}},
        {"Bins",
         Schedule(Day(2026, 4, 2), {}, "FREQ=WEEKLY;UNTIL=20260430", {}),
         nullptr,
         0,
         {{"DUE", "20260402"}, {"DTSTART", "20260402"}, {"RRULE", "FREQ=WEEKLY;UNTIL=20260430"}},
         {"DTSTART;VALUE=DATE:20260402\r\n"}},
        {"Call Ann () @ 555",
         Schedule(Day(2026, 4, 1), 12 * 60, "", 0),
         nullptr,
         0,
         {{"DUE", "20260401T120000"}},
         {"TRIGGER;RELATED=END:PT0S\r\n"}},
        {"Standup",
         Schedule({}, {}, "FREQ=WEEKLY", 60, 9 * 60, 10 * 60 + 30, RepeatFrom::DayDone),
         "2026-01-05",
         1,
         {{"DTSTART", "20260105T090000"},
          {"DUE", "20260105T103000"},
          {"RRULE", "FREQ=WEEKLY"},
          {"X-VANTRY-REPEAT-FROM", "DONE"}},
         {"TRIGGER:-PT1H\r\n"}},
        {"Trip",
         Schedule({}, {}, "", {}, 9 * 60),
         "2026-01-05",
         2,
         {{"DTSTART", "20260105T090000"}, {"DUE", "20260107T000000"}},
         {}},
        {"Broken rule",
         Schedule(Day(2026, 3, 31), {}, "FREQ=FOO", {}),
         nullptr,
         0,
         {{"RRULE", ""}, {"DTSTART", ""}},
         {}},
    };
}

class IcsScheduleTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
        for (const ExportCase& c : Cases()) {
            VNode* item;
            if (c.actionStart) {
                auto* action = AddNode<VTask>(collection);
                action->what = c.summary;
                action->flags = 0;
                action->startDate = c.actionStart;
                action->duration = c.actionDays;
                item = action;
            } else if (c.summary[0] == 'C') {
                auto* call = AddNode<VCall>(collection);
                call->who = "Ann";
                call->detail = "555";
                item = call;
            } else {
                auto* todo = AddNode<VTodo>(collection);
                todo->what = c.summary;
                item = todo;
            }
            SetSchedule(collection, item, c.schedule);
        }
    }
    void TearDown() override {
        unsetenv("TZ");
        tzset();
        LogTest::TearDown();
    }
    static std::map<std::string, VSchedule> Schedules(VCollection& c) {
        std::map<std::string, VSchedule> out;
        for (VNode* n = c.root->next; n; n = n->next) {
            qstring text;
            n->Describe(text, true);
            if (!n->IsFolderKind()) out[text.Text()] = ScheduleOf(c, n);
        }
        return out;
    }

    VCollection collection;
};

TEST_F(IcsScheduleTest, ExportWritesTimesRepeatsAndReminders) {
    std::string text = ExportICalendar(collection, AllNodes(collection), "").text;
    ReadCalendar read = ReadICalendar(text);
    ASSERT_TRUE(read.parsed) << text;
    for (const ExportCase& c : Cases()) {
        SCOPED_TRACE(c.summary);
        const ReadTodo* todo = read.BySummary(c.summary);
        ASSERT_NE(todo, nullptr);
        for (const auto& [name, value] : c.expected)
            EXPECT_EQ(todo->Get(name), value) << name;
        for (const std::string& line : c.lines)
            EXPECT_THAT(todo->text, HasSubstr(line));
        EXPECT_EQ(todo->components.size(), c.schedule.reminderMinutes ? 1u : 0u) << "one VALARM";
    }
}

TEST_F(IcsScheduleTest, ExportImportExportKeepsEverySchedule) {
    std::string first = ExportICalendar(collection, AllNodes(collection), "").text;
    VCollection imported;
    IcsImport result = ImportICalendar(imported, first);
    ASSERT_TRUE(result.ok) << result.error;
    std::map<std::string, VSchedule> expected = Schedules(collection);
    // An unreadable rule is not exported: the other program never sees it.
    expected["Broken rule"].rule.clear();
    EXPECT_EQ(Schedules(imported), expected);

    ReadCalendar before = ReadICalendar(first);
    ReadCalendar after = ReadICalendar(ExportICalendar(imported, AllNodes(imported), "").text);
    ASSERT_EQ(after.todos.size(), before.todos.size());
    for (const ReadTodo& was : before.todos) {
        const ReadTodo* now = after.ByUid(was.Get("UID"));
        ASSERT_NE(now, nullptr) << was.Get("SUMMARY");
        auto values = was.values;
        auto again = now->values;
        values.erase("DTSTAMP"), again.erase("DTSTAMP");
        values.erase("CATEGORIES"), again.erase("CATEGORIES"); // the import's folder
        EXPECT_EQ(again, values) << was.Get("SUMMARY");
        EXPECT_EQ(now->components, was.components);
    }
}

std::string Calendar(const std::string& lines) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\nBEGIN:VTODO\r\n"
           "UID:x\r\nSUMMARY:Item\r\n" +
           lines + "END:VTODO\r\nEND:VCALENDAR\r\n";
}

VSchedule InZone(VSchedule schedule, const char* tzid) {
    schedule.zone.tzid = tzid;
    return schedule;
}

std::string Alarm(const std::string& trigger) {
    return "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Item\r\n" + trigger +
           "\r\nEND:VALARM\r\n";
}

TEST_F(IcsScheduleTest, ImportReadsTimesRepeatsAndReminders) {
    struct Case {
        std::string lines;
        bool action;
        VSchedule expected;
        const char* startDate; // an action's
        int duration;
        const char* keptAlarm; // an alarm that is not ours, written back as it came
    } cases[] = {
        {"DUE:20260331T083000\r\nRRULE:FREQ=MONTHLY;BYMONTHDAY=31\r\n" +
             Alarm("TRIGGER;RELATED=END:-PT15M"),
         false, Schedule(Day(2026, 3, 31), 8 * 60 + 30, "FREQ=MONTHLY;BYMONTHDAY=31", 15), "", 0,
         nullptr},
        // In UTC or a zone: the time there, with its zone.
        {"DUE:20260331T070000Z\r\n", false,
         InZone(Schedule(Day(2026, 3, 31), 7 * 60, "", {}), "UTC"), "", 0, nullptr},
        {"DUE;TZID=America/New_York:20260331T030000\r\n", false,
         InZone(Schedule(Day(2026, 3, 31), 3 * 60, "", {}), "America/New_York"), "", 0, nullptr},
        {"DTSTART:20260105T090000\r\nDUE:20260105T103000\r\nRRULE:FREQ=WEEKLY\r\n"
         "X-VANTRY-REPEAT-FROM:DONE\r\n",
         true, Schedule({}, {}, "FREQ=WEEKLY", {}, 9 * 60, 10 * 60 + 30, RepeatFrom::DayDone),
         "2026-01-05", 1, nullptr},
        {"DTSTART:20260105T220000\r\nDURATION:PT4H\r\n", true,
         Schedule({}, {}, "", {}, 22 * 60, 2 * 60), "2026-01-05", 2, nullptr},
        // A rule libical rejects is kept as text, a COUNT or an INTERVAL below 1 too.
        {"DUE;VALUE=DATE:20260331\r\nRRULE:FREQ=FOO;COUNT=2\r\n", false,
         Schedule(Day(2026, 3, 31), {}, "FREQ=FOO;COUNT=2", {}), "", 0, nullptr},
        {"DUE;VALUE=DATE:20260331\r\nRRULE:FREQ=DAILY;COUNT=-5\r\n", false,
         Schedule(Day(2026, 3, 31), {}, "FREQ=DAILY;COUNT=-5", {}), "", 0, nullptr},
        {"DUE;VALUE=DATE:20260331\r\nRRULE:FREQ=WEEKLY;INTERVAL=0\r\n", false,
         Schedule(Day(2026, 3, 31), {}, "FREQ=WEEKLY;INTERVAL=0", {}), "", 0, nullptr},
        // Alarms at a fixed moment, or after the item, are not reminders: kept as they came.
        {"DUE;VALUE=DATE:20260331\r\n" + Alarm("TRIGGER;VALUE=DATE-TIME:20260330T080000Z"), false,
         Schedule(Day(2026, 3, 31), {}, "", {}), "", 0, "TRIGGER;VALUE=DATE-TIME:20260330T080000Z"},
        {"DUE;VALUE=DATE:20260331\r\n" + Alarm("TRIGGER:PT5M"), false,
         Schedule(Day(2026, 3, 31), {}, "", {}), "", 0, "TRIGGER:PT5M"},
        {"DUE;VALUE=DATE:20260331\r\n" + Alarm("TRIGGER:-P1D") + Alarm("TRIGGER:-PT2H"), false,
         Schedule(Day(2026, 3, 31), {}, "", 24 * 60), "", 0, "TRIGGER:-PT2H"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        VCollection doc;
        IcsImport result = ImportICalendar(doc, Calendar(c.lines));
        ASSERT_TRUE(result.ok) << result.error;
        ASSERT_EQ(result.added, 1);
        VNode* item = doc.root->next;
        EXPECT_EQ(ScheduleOf(doc, item), c.expected);
        auto* action = dynamic_cast<VTask*>(item);
        ASSERT_EQ(action != nullptr, c.action);
        if (action) {
            EXPECT_STREQ(action->startDate.Text(), c.startDate);
            EXPECT_EQ(action->duration, c.duration);
        }
        std::string back = ExportICalendar(doc, AllNodes(doc), "").text;
        if (c.keptAlarm)
            EXPECT_THAT(back, HasSubstr(c.keptAlarm));
        else
            EXPECT_THAT(back, Not(HasSubstr("X-LIC-ERROR")));
    }
}

} // namespace
