#include "support/costly_repeats.h"

#include "model/vdays.h"
#include "model/vgroup.h"
#include "model/vschedule.h"
#include "model/vtodo.h"

#include <string>

const std::vector<NeverMatchingRule>& NeverMatchingRules() {
    static const std::vector<NeverMatchingRule> rules = {
        {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=30", false},
        {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=31", false},
        {"FREQ=YEARLY;BYMONTH=4;BYMONTHDAY=31", false},
        {"FREQ=YEARLY;BYMONTH=6;BYMONTHDAY=31", false},
        {"FREQ=YEARLY;BYMONTH=9;BYMONTHDAY=31", false},
        {"FREQ=YEARLY;BYMONTH=11;BYMONTHDAY=31", false},
        {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=30,31", false},
        {"FREQ=YEARLY;BYMONTH=4,6,9,11;BYMONTHDAY=31", false},
        {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=-30", false},
        {"FREQ=YEARLY;BYMONTH=4;BYMONTHDAY=-31", false},
        {"FREQ=YEARLY;BYYEARDAY=366;BYMONTH=1", false},
        // From 2026, every fourth year is never a leap year.
        {"FREQ=YEARLY;INTERVAL=4;BYMONTH=2;BYMONTHDAY=29", false},
        {"FREQ=YEARLY;INTERVAL=2;BYMONTH=3;BYMONTHDAY=30;BYDAY=SA;WKST=SU;BYSETPOS=2", false},
        {"FREQ=YEARLY;INTERVAL=3;BYMONTH=6;BYMONTHDAY=31;BYHOUR=9", false},
        {"FREQ=MONTHLY;BYMONTH=2;BYMONTHDAY=30", false},
        {"FREQ=MONTHLY;BYMONTH=2;BYMONTHDAY=31", false},
        {"FREQ=MONTHLY;BYMONTH=4;BYMONTHDAY=31", false},
        {"FREQ=MONTHLY;BYMONTH=6;BYMONTHDAY=31", false},
        {"FREQ=MONTHLY;BYMONTH=9;BYMONTHDAY=31", false},
        {"FREQ=MONTHLY;BYMONTH=11;BYMONTHDAY=31", false},
        {"FREQ=MONTHLY;BYMONTH=4,6,9,11;BYMONTHDAY=31", false},
        {"FREQ=MONTHLY;BYMONTH=2;BYMONTHDAY=-30", false},
        // From January, every twelfth (second, 24th) month is January (an odd month).
        {"FREQ=MONTHLY;INTERVAL=12;BYMONTH=6", false},
        {"FREQ=MONTHLY;INTERVAL=2;BYMONTH=2,4,6,8,10,12", false},
        {"FREQ=MONTHLY;INTERVAL=24;BYMONTH=2;BYMONTHDAY=29", false},
        {"FREQ=MONTHLY;BYMONTH=2;BYMONTHDAY=30;BYDAY=MO,TU,WE,TH,FR,SA,SU", false},
        {"FREQ=WEEKLY;BYMONTH=13", false},
        {"FREQ=WEEKLY;INTERVAL=2;BYMONTH=2;BYDAY=MO;BYHOUR=25", false},
        {"FREQ=DAILY;BYMONTH=2;BYMONTHDAY=30", false},
        {"FREQ=DAILY;BYMONTH=4;BYMONTHDAY=31", false},
        {"FREQ=DAILY;BYMONTH=6;BYMONTHDAY=31", false},
        {"FREQ=DAILY;BYMONTH=13", false},
        {"FREQ=DAILY;INTERVAL=7;BYDAY=FR", false}, // 1 January 2026 is a Thursday
        {"FREQ=HOURLY;BYMONTH=2;BYMONTHDAY=30", false},
        {"FREQ=HOURLY;BYMONTH=9;BYMONTHDAY=31", false},
        {"FREQ=HOURLY;BYMONTH=6;BYMONTHDAY=31", false},
        {"FREQ=MINUTELY;INTERVAL=10080;BYDAY=SA", false}, // every Thursday at 00:00
        {"FREQ=MINUTELY;BYMONTH=4;BYMONTHDAY=31", true},
        {"FREQ=MINUTELY;BYMONTH=2;BYMONTHDAY=30;BYHOUR=9", true},
        {"FREQ=SECONDLY;BYMONTH=6;BYMONTHDAY=31", true},
    };
    return rules;
}

void AddCostlyRepeats(VCollection& c) {
    auto* folder = new VGroup(&c);
    folder->name = "Costly";
    c.Add(folder, c.root);
    auto add = [&](const std::string& what, const char* rule) {
        auto* todo = new VTodo(&c);
        todo->what = what.c_str();
        c.Add(todo, folder);
        VSchedule s;
        s.dueDay = DayNumber(2026, 1, 1);
        s.dueMinute = 0;
        s.rule = rule;
        SetSchedule(c, todo, s);
    };
    add("Every second", "FREQ=SECONDLY");
    add("Every minute", "FREQ=MINUTELY");
    int n = 0;
    for (const NeverMatchingRule& never : NeverMatchingRules())
        add("Never " + std::to_string(++n), never.rule);
}
