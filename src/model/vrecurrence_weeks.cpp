#include "model/vrecurrence_weeks.h"

#include "model/vdays.h"

#include <algorithm>

namespace {

// The first day of the week that holds the day.
long startOfWeek(long day, int weekStart) {
    return day - (WeekdayOf(day) - weekStart + 7) % 7;
}

// The first day of week 1 of the year: the week that holds 4 January.
long firstWeek(int year, int weekStart) {
    return startOfWeek(DayNumber(year, 1, 4), weekStart);
}

} // namespace

ListedWeeks::ListedWeeks(const icalrecurrencetype& rule) {
    for (int i = 0; i < ICAL_BY_WEEKNO_SIZE && rule.by_week_no[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        weeks.push_back(rule.by_week_no[i]);
    // libical's weekdays run from 1 (Sunday) to 7 (Saturday); none given is Monday.
    if (rule.week_start >= ICAL_SUNDAY_WEEKDAY && rule.week_start <= ICAL_SATURDAY_WEEKDAY)
        weekStart = rule.week_start - ICAL_SUNDAY_WEEKDAY;
}

bool ListedWeeks::Holds(long day) const {
    if (weeks.empty()) return true;
    long start = startOfWeek(day, weekStart);
    // A week belongs to the year that has four or more of its days: the one of its fourth.
    int year, month, dayOfMonth;
    CalendarDay(start + 3, year, month, dayOfMonth);
    long first = firstWeek(year, weekStart);
    int number = (int)((start - first) / 7) + 1;
    int inYear = (int)((firstWeek(year + 1, weekStart) - first) / 7);
    return std::any_of(weeks.begin(), weeks.end(), [&](int listed) {
        return listed == number || (listed < 0 && inYear + listed + 1 == number);
    });
}
