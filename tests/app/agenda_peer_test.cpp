// Repeats against a real peer: the occurrences `vantry --agenda` prints equal those
// python3-recurring-ical-events expands from the same items exported by
// `vantry --export-ics`, both run here as a user runs them.
#include "model/vdays.h"
#include "model/vschedule.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/log_capture.h"
#include "support/model_builders.h"
#include "support/shell.h"
#include "test_paths.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <sstream>
#include <sys/stat.h>

namespace {

// The system's Python, where the Debian packages are.
const char* PYTHON = "/usr/bin/python3";

struct RepeatCase {
    const char* what;
    const char* rule;
    const char* due; // an action's first day when `actionDays` is not 0
    std::optional<int> minute;
    int actionDays = 0;
};

// Each case one item; the span below holds all their occurrences.
const RepeatCase CASES[] = {
    {"Monthly on the 31st", "FREQ=MONTHLY;BYMONTHDAY=31", "2026-01-31", {}},
    {"Last weekday", "FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1", "2026-01-30", 17 * 60},
    {"Leap day", "FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29", "2024-02-29", {}},
    // Run under TZ=Europe/Berlin: summer time starts on 29 March 2026, and the 09:00 stays.
    {"Weekly across summer time", "FREQ=WEEKLY;UNTIL=20260420T090000", "2026-03-16", 9 * 60},
    {"Count five", "FREQ=WEEKLY;COUNT=5", "2026-06-01", 8 * 60},
    {"Until the fifth", "FREQ=WEEKLY;UNTIL=20260629", "2026-06-01", {}},
    {"Every second week on two days",
     "FREQ=WEEKLY;INTERVAL=2;BYDAY=TU,TH;COUNT=8",
     "2026-01-06",
     {}},
    {"Daily ten times", "FREQ=DAILY;COUNT=10", "2026-10-20", 7 * 60 + 15},
    {"Yearly", "FREQ=YEARLY", "2026-07-04", {}},
    {"Second Tuesday", "FREQ=MONTHLY;BYDAY=2TU;UNTIL=20270101", "2026-01-13", 19 * 60 + 30},
    {"Weekdays", "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR;UNTIL=20260220", "2026-02-02", {}},
    {"Quarterly", "FREQ=MONTHLY;INTERVAL=3", "2026-01-15", {}},
    {"Last Friday", "FREQ=MONTHLY;BYDAY=-1FR;COUNT=12", "2026-01-30", 12 * 60},
    {"Monthly on the 31st until autumn",
     "FREQ=MONTHLY;BYMONTHDAY=31;UNTIL=20261001",
     "2026-01-31",
     {}},
    {"Weekly meeting", "FREQ=WEEKLY;COUNT=4", "2026-05-04", 10 * 60, 2},
    {"Once", "", "2026-09-09", 11 * 60},
};
const char* FROM = "2024-01-01";
const char* TO = "2028-12-31";

class AgendaPeerTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        struct stat info;
        ASSERT_EQ(stat(PYTHON, &info), 0) << "scripts/install-deps installs python3";
        VCollection c;
        for (const RepeatCase& r : CASES) {
            VSchedule s;
            s.rule = r.rule;
            VNode* item;
            if (r.actionDays) {
                auto* action = AddNode<VTask>(c);
                action->what = r.what;
                action->flags = 0;
                action->startDate = r.due;
                action->duration = r.actionDays;
                s.startMinute = r.minute;
                item = action;
            } else {
                auto* todo = AddNode<VTodo>(c);
                todo->what = r.what;
                long day = 0;
                ASSERT_TRUE(ParseDayText(r.due, day));
                s.dueDay = day;
                s.dueMinute = r.minute;
                item = todo;
            }
            SetSchedule(c, item, s);
        }
        ASSERT_TRUE(c.Save("repeats.vnt"));
    }

    // Runs the program under Berlin's time.
    int Vantry(const std::string& arguments, std::string& output) {
        return Shell("TZ=Europe/Berlin LC_ALL=C.UTF-8 '" VANTRY_BINARY "' " + arguments, output);
    }
};

// "DAY\tTIME\tTEXT" lines, sorted.
std::vector<std::string> Sorted(const std::string& text, bool dropFolder) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (dropFolder) line.erase(line.rfind('\t'));
        lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST_F(AgendaPeerTest, OccurrencesEqualRecurringIcalEventsExpansion) {
    std::string out;
    ASSERT_EQ(Vantry("--export-ics repeats.ics repeats.vnt", out), 0) << out;
    ASSERT_EQ(Vantry(std::string("--agenda --from ") + FROM + " --to " + TO + " repeats.vnt", out),
              0)
        << out;
    std::vector<std::string> ours = Sorted(out, true);

    WriteWholeFile("expand.py", R"(import sys, datetime, icalendar, recurring_ical_events
cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())
first = datetime.date.fromisoformat(sys.argv[2])
last = datetime.date.fromisoformat(sys.argv[3])
for c in recurring_ical_events.of(cal, components=['VTODO']).between(first, last + datetime.timedelta(days=1)):
    start = c['DTSTART'].dt
    if isinstance(start, datetime.datetime):
        print(start.date().isoformat() + '\t' + start.strftime('%H:%M') + '\t' + str(c['SUMMARY']))
    else:
        print(start.isoformat() + '\t\t' + str(c['SUMMARY']))
)");
    ASSERT_EQ(Shell(std::string("TZ=Europe/Berlin ") + PYTHON + " expand.py repeats.ics " + FROM +
                        " " + TO,
                    out),
              0)
        << out;
    std::vector<std::string> theirs = Sorted(out, false);
    EXPECT_EQ(ours, theirs);

    // Each rule had its say: every item occurs, and the spot checks hold.
    for (const RepeatCase& r : CASES)
        EXPECT_TRUE(std::any_of(ours.begin(), ours.end(), [&](const std::string& l) {
            return l.ends_with(r.what);
        })) << r.what;
    const std::pair<const char*, int> spots[] = {
        {"2026-04-30\t\tMonthly on the 31st", 0}, // April has no 31st
        {"2026-05-31\t\tMonthly on the 31st", 1},
        {"2026-02-27\t17:00\tLast weekday", 1},
        {"2027-02-28\t\tLeap day", 0},
        {"2028-02-29\t\tLeap day", 1},
        {"2026-04-20\t09:00\tWeekly across summer time", 1},
        {"2026-06-29\t08:00\tCount five", 1},
        {"2026-06-29\t\tUntil the fifth", 1},
    };
    for (const auto& [line, count] : spots)
        EXPECT_EQ(std::count(ours.begin(), ours.end(), line), count) << line;
    EXPECT_EQ(std::count_if(ours.begin(), ours.end(),
                            [](const std::string& l) { return l.ends_with("\tCount five"); }),
              5);
    EXPECT_EQ(std::count_if(ours.begin(), ours.end(),
                            [](const std::string& l) { return l.ends_with("\tUntil the fifth"); }),
              5);
}

} // namespace
