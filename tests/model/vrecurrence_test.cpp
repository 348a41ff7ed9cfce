// Expanding repeats within bounds: the work for one series is set by the span asked for
// and a budget, never by how long ago the series began, so any rule over any span ends
// quickly and old series keep their occurrences.
#include "model/vagenda.h"
#include "model/vdays.h"
#include "model/vrecurrence.h"
#include "model/vschedule.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/costly_repeats.h"
#include "support/model_builders.h"

#include <chrono>
#include <gmock/gmock.h>
#include <optional>
#include <string>
#include <vector>

namespace {

// A guard against a walk that never ends; what the expansion costs is measured in
// bench/agenda_expansion_bench.
constexpr double CEILING_SECONDS = 60;

long Day(const char* text) {
    long day = 0;
    EXPECT_TRUE(ParseDayText(text, day)) << text;
    return day;
}

// "YYYY-MM-DD" or "YYYY-MM-DD HH:MM".
VWhen When(const std::string& text) {
    VWhen when{Day(text.substr(0, 10).c_str()), std::nullopt};
    int minute = 0;
    if (text.size() > 10 && ParseMinuteText(text.substr(11, 5), minute)) when.minute = minute;
    return when;
}

std::string Text(const VWhen& when) {
    return DayText(when.day) + (when.minute ? " " + MinuteText(*when.minute) : "");
}

std::string Text(const std::optional<VWhen>& when) {
    return when ? Text(*when) : "none";
}

std::vector<std::string> Texts(const std::vector<VWhen>& whens) {
    std::vector<std::string> out;
    for (const VWhen& w : whens)
        out.push_back(Text(w));
    return out;
}

class Stopwatch {
  public:
    double Seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

  private:
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

struct YearCase {
    const char* rule;
    std::size_t count; // occurrences listed in 2026
    const char* firstListed;
    const char* lastListed;
    const char* cutAfter; // "none": the whole year listed
};

// Rules that repeat every hour, minute or second, over the year 2026, from its first
// minute. A secondly rule has 31,536,000 occurrences in the year, 525,600 minutes (times
// are kept to the minute); a minutely one 525,600; an hourly one 8,760. The budget of
// 100,000 steps of libical's iterator stops the secondly walk after 27 h 46 min 40 s (1,667
// minutes listed), the cap of 10,000 listed occurrences the minutely one after 6 days
// 22 h 39 min; the hourly one is listed whole.
TEST(BoundedExpansionTest, FrequentRulesOverAYearEndAtTheBudgetOrTheCapAndSaySo) {
    const YearCase cases[] = {
        {"FREQ=SECONDLY", 1667, "2026-01-01 00:00", "2026-01-02 03:46", "2026-01-02 03:46"},
        {"FREQ=MINUTELY", 10000, "2026-01-01 00:00", "2026-01-07 22:39", "2026-01-07 22:39"},
        {"FREQ=HOURLY", 8760, "2026-01-01 00:00", "2026-12-31 23:00", "none"},
        // Every quarter of an hour on working days, and the first occurrence (which counts).
        {"FREQ=MINUTELY;INTERVAL=15;BYHOUR=9,10,11,12,13,14,15,16;BYDAY=MO,TU,WE,TH,FR", 8353,
         "2026-01-01 00:00", "2026-12-31 16:45", "none"},
    };
    for (const YearCase& c : cases) {
        SCOPED_TRACE(c.rule);
        Stopwatch watch;
        OccurrenceList list =
            Occurrences(c.rule, When("2026-01-01 00:00"), Day("2026-01-01"), Day("2026-12-31"));
        EXPECT_LT(watch.Seconds(), CEILING_SECONDS);
        ASSERT_EQ(list.found.size(), c.count);
        EXPECT_EQ(Text(list.found.front()), c.firstListed);
        EXPECT_EQ(Text(list.found.back()), c.lastListed);
        EXPECT_EQ(Text(list.cutAfter), c.cutAfter);
    }
}

// Forty rules that never put an occurrence after the first (support/costly_repeats): each
// gives its first occurrence alone. Those
// of days or longer are known to be empty at once; a never-matching rule of hours or less
// walks the span, and one of minutes or seconds stops at its budget and says so.
TEST(BoundedExpansionTest, FortyRulesThatNeverMatchGiveTheFirstOccurrenceAlone) {
    const std::vector<NeverMatchingRule>& cases = NeverMatchingRules();
    ASSERT_EQ(cases.size(), 40u);
    Stopwatch all;
    for (const NeverMatchingRule& c : cases) {
        SCOPED_TRACE(c.rule);
        Stopwatch watch;
        OccurrenceList list =
            Occurrences(c.rule, When("2026-01-01 00:00"), Day("2026-01-01"), Day("2026-12-31"));
        EXPECT_LT(watch.Seconds(), CEILING_SECONDS);
        EXPECT_EQ(Texts(list.found), std::vector<std::string>{"2026-01-01 00:00"});
        EXPECT_EQ(list.cutAfter.has_value(), c.cutInAYear) << Text(list.cutAfter);
        EXPECT_EQ(NextOccurrence(c.rule, When("2026-01-01 00:00"), When("2026-01-01 00:00")),
                  std::nullopt);
    }
    EXPECT_LT(all.Seconds(), CEILING_SECONDS);
}

// Series that began long ago show this year's occurrences, found from this year on.
TEST(BoundedExpansionTest, SeriesBegunYearsAgoShowTheirOccurrencesNow) {
    const char* birthday = "FREQ=YEARLY";
    VWhen born = When("2010-05-17");
    EXPECT_EQ(Texts(Occurrences(birthday, born, Day("2026-01-01"), Day("2026-12-31")).found),
              std::vector<std::string>{"2026-05-17"});
    EXPECT_EQ(Text(NextOccurrence(birthday, born, When("2026-05-17"))), "2027-05-17");
    EXPECT_EQ(Text(LatestOccurrence(birthday, born, When("2026-06-01 12:00"))), "2026-05-17");

    const char* meeting = "FREQ=WEEKLY"; // Mondays at 09:00 since 5 January 2015
    VWhen since = When("2015-01-05 09:00");
    EXPECT_EQ(Texts(Occurrences(meeting, since, Day("2026-01-01"), Day("2026-01-31")).found),
              (std::vector<std::string>{"2026-01-05 09:00", "2026-01-12 09:00", "2026-01-19 09:00",
                                        "2026-01-26 09:00"}));
    EXPECT_EQ(Text(NextOccurrence(meeting, since, When("2026-01-26 09:00"))), "2026-02-02 09:00");
    EXPECT_EQ(Text(LatestOccurrence(meeting, since, When("2026-01-25 23:59"))),
              "2026-01-19 09:00");

    // The agenda: each one's due occurrence, never ticked, is overdue; then May's.
    VCollection c;
    auto todo = [&](const char* what, const VWhen& due, const char* rule) {
        VTodo* t = AddNode<VTodo>(c);
        t->what = what;
        VSchedule s;
        s.dueDay = due.day;
        s.dueMinute = due.minute;
        s.rule = rule;
        SetSchedule(c, t, s);
    };
    todo("Birthday", born, birthday);
    todo("Meeting", since, meeting);
    std::vector<std::string> lines;
    Agenda agenda = BuildAgenda(c, Day("2026-05-01"), Day("2026-05-31"), Day("2026-05-01"));
    for (const AgendaEntry& e : agenda.entries)
        lines.push_back(std::string(AgendaGroupTitle(e.group)) + " " + Text(e.when) + " " + e.text);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "Overdue 2010-05-17 Birthday",
                         "Overdue 2015-01-05 09:00 Meeting",
                         "Later 2026-05-04 09:00 Meeting",
                         "Later 2026-05-11 09:00 Meeting",
                         "Later 2026-05-17 Birthday",
                         "Later 2026-05-18 09:00 Meeting",
                         "Later 2026-05-25 09:00 Meeting",
                     }));
    EXPECT_TRUE(agenda.cut.empty());
}

// A COUNT counts from the first occurrence, however long ago.
TEST(BoundedExpansionTest, ACountGivesExactlyThatManyOccurrences) {
    VWhen first = When("2010-03-01 08:00");
    OccurrenceList three =
        Occurrences("FREQ=DAILY;COUNT=3", first, Day("2010-01-01"), Day("2026-12-31"));
    EXPECT_EQ(Texts(three.found), (std::vector<std::string>{
                                      "2010-03-01 08:00", "2010-03-02 08:00", "2010-03-03 08:00"}));
    EXPECT_FALSE(three.cutAfter);
    EXPECT_TRUE(
        Occurrences("FREQ=DAILY;COUNT=3", first, Day("2026-01-01"), Day("2026-12-31")).found.empty());
    EXPECT_EQ(Text(NextOccurrence("FREQ=DAILY;COUNT=3", first, When("2010-03-02 08:00"))),
              "2010-03-03 08:00");
    EXPECT_EQ(NextOccurrence("FREQ=DAILY;COUNT=3", first, When("2010-03-03 08:00")), std::nullopt);
    EXPECT_EQ(Text(LatestOccurrence("FREQ=WEEKLY;COUNT=3", first, When("2026-01-01"))),
              "2010-03-15 08:00");
}

// A COUNT or an INTERVAL below 1 makes the rule unreadable: kept as text, not expanded.
TEST(BoundedExpansionTest, ACountOrIntervalBelowOneIsAnUnreadableRule) {
    for (const char* rule : {"FREQ=DAILY;COUNT=-5", "FREQ=DAILY;COUNT=0", "FREQ=DAILY;INTERVAL=0",
                             "FREQ=WEEKLY;INTERVAL=-2"}) {
        SCOPED_TRACE(rule);
        EXPECT_FALSE(RuleReadable(rule));
        EXPECT_FALSE(ReadRuleParts(rule));
        EXPECT_EQ(Texts(Occurrences(rule, When("2026-01-01"), Day("2026-01-01"), Day("2026-12-31"))
                            .found),
                  std::vector<std::string>{"2026-01-01"});
        EXPECT_EQ(NextOccurrence(rule, When("2026-01-01"), When("2026-01-01")), std::nullopt);
        EXPECT_EQ(RuleAfterOneOccurrence(rule), rule);
    }
}

// Week numbers as RFC 5545 counts them from WKST: week 53 is only in years that have one
// (libical alone also gives the Monday of the next year's week 1 in the others), and -1
// is the last week of each year.
TEST(BoundedExpansionTest, ListedWeeksAreThoseTheYearHas) {
    struct Case {
        const char* rule;
        const char* first;
        std::vector<std::string> found; // from 2027 to 2037, as python-dateutil gives them
    } cases[] = {
        {"FREQ=YEARLY;BYWEEKNO=53;BYDAY=MO", "2026-12-28", {"2032-12-27", "2037-12-28"}},
        {"FREQ=YEARLY;BYWEEKNO=-1;BYDAY=MO",
         "2026-12-28",
         {"2027-12-27", "2028-12-25", "2029-12-24", "2030-12-23", "2031-12-22", "2032-12-27",
          "2033-12-26", "2034-12-25", "2035-12-24", "2036-12-22", "2037-12-28"}},
        // Weeks from Sunday: week 1 of 2030 begins on 30 December 2029.
        {"FREQ=YEARLY;BYWEEKNO=1;BYDAY=SU;WKST=SU",
         "2027-01-03",
         {"2027-01-03", "2028-01-02", "2028-12-31", "2029-12-30", "2030-12-29", "2032-01-04",
          "2033-01-02", "2034-01-01", "2034-12-31", "2035-12-30", "2037-01-04"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        EXPECT_EQ(
            Texts(Occurrences(c.rule, When(c.first), Day("2027-01-01"), Day("2037-12-31")).found),
            c.found);
    }
}

// Starting libical's iterator at the span gives what walking from the first occurrence
// gives: intervals stay in step, a day's times are all there whatever their order, and a
// series of days with an hourly rule is a day each.
TEST(BoundedExpansionTest, StartingAtTheSpanGivesWhatWalkingFromTheFirstGives) {
    struct Case {
        const char* rule;
        const char* first;
        const char* from;
        const char* to;
    } cases[] = {
        {"FREQ=DAILY;INTERVAL=3", "2025-11-02 10:00", "2026-03-01", "2026-03-31"},
        {"FREQ=DAILY;BYHOUR=15,9", "2025-11-02 15:00", "2026-03-01", "2026-03-04"},
        {"FREQ=DAILY;BYHOUR=9,15;BYMINUTE=30,0", "2025-11-02 10:00", "2026-03-01", "2026-03-04"},
        {"FREQ=WEEKLY;INTERVAL=2;BYDAY=TU,TH", "2025-11-04", "2026-03-01", "2026-04-30"},
        {"FREQ=WEEKLY;INTERVAL=3;BYDAY=SU,TH;WKST=SU", "2025-11-04", "2026-03-05", "2026-06-30"},
        {"FREQ=WEEKLY;INTERVAL=2", "2025-11-04 09:00", "2026-03-04", "2026-04-30"},
        {"FREQ=MONTHLY;INTERVAL=5;BYMONTHDAY=31", "2024-01-31", "2026-01-01", "2028-12-31"},
        {"FREQ=MONTHLY;BYDAY=-1FR", "2024-01-26 17:00", "2026-02-01", "2026-07-31"},
        {"FREQ=YEARLY;INTERVAL=3", "2010-03-15", "2026-01-01", "2035-12-31"},
        {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29", "2024-02-29", "2026-01-01", "2036-12-31"},
        {"FREQ=YEARLY;BYWEEKNO=1;BYDAY=MO", "2020-12-28", "2026-01-01", "2030-12-31"},
        {"FREQ=YEARLY;UNTIL=20280101", "2020-06-01", "2026-01-01", "2030-12-31"},
        {"FREQ=HOURLY;INTERVAL=5", "2026-02-26 00:30", "2026-03-01", "2026-03-02"},
        {"FREQ=HOURLY;INTERVAL=7;BYMINUTE=15,45", "2026-02-26 10:30", "2026-03-01", "2026-03-02"},
        {"FREQ=HOURLY;BYHOUR=8,20", "2026-02-26 08:00", "2026-03-01", "2026-03-02"},
        {"FREQ=MINUTELY;INTERVAL=7", "2026-02-27 00:30", "2026-03-01", "2026-03-01"},
        {"FREQ=MINUTELY;INTERVAL=90;BYHOUR=9,10,11", "2026-02-20 09:30", "2026-03-01", "2026-03-02"},
        {"FREQ=SECONDLY;INTERVAL=45;BYMINUTE=10,40", "2026-02-28 20:10", "2026-03-01", "2026-03-01"},
        {"FREQ=SECONDLY;INTERVAL=7", "2026-02-28 23:00", "2026-03-01", "2026-03-01"},
        {"FREQ=HOURLY;INTERVAL=5", "2026-02-26", "2026-03-01", "2026-03-04"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.rule) + " from " + c.first);
        VWhen first = When(c.first);
        OccurrenceList walked = Occurrences(c.rule, first, first.day, Day(c.to));
        ASSERT_FALSE(walked.cutAfter) << "the reference itself must be whole";
        std::vector<VWhen> expected;
        for (const VWhen& w : walked.found)
            if (w.day >= Day(c.from)) expected.push_back(w);
        OccurrenceList started = Occurrences(c.rule, first, Day(c.from), Day(c.to));
        EXPECT_FALSE(started.cutAfter);
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(Texts(started.found), Texts(expected));
    }
}

// The reminder's look-back: the latest occurrence at or before a moment, found near it
// whether the rule is frequent or rare.
TEST(BoundedExpansionTest, TheLatestOccurrenceIsFoundNearTheMoment) {
    struct Case {
        const char* rule;
        const char* first;
        const char* at;
        const char* latest;
    } cases[] = {
        {"FREQ=SECONDLY", "2020-01-01 00:00", "2026-03-02 10:17", "2026-03-02 10:17"},
        {"FREQ=MINUTELY;BYHOUR=9", "2020-01-01 09:00", "2026-03-02 15:00", "2026-03-02 09:59"},
        {"FREQ=DAILY;BYHOUR=9,15", "2020-01-01 09:00", "2026-03-02 14:59", "2026-03-02 09:00"},
        {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29", "2000-02-29", "2026-03-02 10:00", "2024-02-29"},
        {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=30", "2000-01-01", "2026-03-02 10:00", "2000-01-01"},
        {"", "2000-01-01", "2026-03-02 10:00", "2000-01-01"},
        {"FREQ=DAILY", "2026-03-03", "2026-03-02 10:00", "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        Stopwatch watch;
        EXPECT_EQ(Text(LatestOccurrence(c.rule, When(c.first), When(c.at))), c.latest);
        EXPECT_LT(watch.Seconds(), CEILING_SECONDS);
    }
}

// Ticking done moves an item to its next occurrence, which may be later the same day.
TEST(BoundedExpansionTest, TickingMovesToTheNextMomentEvenTheSameDay) {
    VCollection c;
    VTodo* pills = AddNode<VTodo>(c);
    VSchedule s;
    s.dueDay = Day("2026-03-01");
    s.dueMinute = 9 * 60;
    s.rule = "FREQ=DAILY;BYHOUR=9,15";
    SetSchedule(c, pills, s);
    auto* walk = AddNode<VTask>(c);
    walk->flags = 0;
    walk->startDate = "2026-03-01";
    VSchedule times;
    times.startMinute = 9 * 60;
    times.endMinute = 9 * 60 + 45;
    times.rule = "FREQ=DAILY;BYHOUR=9,15";
    SetSchedule(c, walk, times);

    for (const char* expected : {"2026-03-01 15:00", "2026-03-02 09:00", "2026-03-02 15:00"}) {
        SCOPED_TRACE(expected);
        EXPECT_FALSE(SetItemDone(c, pills, true, Day("2026-03-01")));
        EXPECT_EQ(Text(*DueOf(c, pills)), expected);
        EXPECT_FALSE(SetItemDone(c, walk, true, Day("2026-03-01")));
        EXPECT_EQ(Text(*DueOf(c, walk)), expected);
        VSchedule moved = ScheduleOf(c, walk);
        EXPECT_EQ(*moved.endMinute - *moved.startMinute, 45) << "its end time moves with it";
    }
}

} // namespace
