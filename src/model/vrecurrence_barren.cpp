#include "model/vrecurrence_barren.h"

#include "model/vdays.h"
#include "model/vrecurrence_rule.h"

#include <algorithm>
#include <bitset>
#include <numeric>

namespace {

// The Gregorian calendar repeats itself every 400 years (146,097 days, a whole number of
// weeks), so the years (months) a series reaches repeat within that many of its steps.
constexpr long CYCLE_YEARS = 400;

int daysInMonth(int year, int month) {
    return (int)(month == 12 ? DayNumber(year + 1, 1, 1) - DayNumber(year, 12, 1)
                             : DayNumber(year, month + 1, 1) - DayNumber(year, month, 1));
}

bool inByMonth(const icalrecurrencetype& rule, int month) {
    if (rule.by_month[0] == ICAL_RECURRENCE_ARRAY_MAX) return true;
    for (int i = 0; i < ICAL_BY_MONTH_SIZE && rule.by_month[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        if (icalrecurrencetype_month_month(rule.by_month[i]) == month) return true;
    return false;
}

// Whether libical finds an occurrence in the year (month) of `at`: an iterator whose step
// leaps past the year 20000 expands that one period, and cannot be made when it is empty.
bool periodHasOccurrence(icalrecurrencetype probe, const VWhen& at) {
    icalrecur_iterator* it = icalrecur_iterator_new(probe, IcalTime(at));
    icalerror_clear_errno();
    if (!it) return false;
    icalrecur_iterator_free(it);
    return true;
}

} // namespace

bool NeverRepeats(const icalrecurrencetype& rule, const VWhen& first) {
    bool yearly = rule.freq == ICAL_YEARLY_RECURRENCE;
    if (!yearly && rule.freq != ICAL_MONTHLY_RECURRENCE) return false;
    int year, month, day;
    CalendarDay(first.day, year, month, day);

    icalrecurrencetype probe = rule;
    probe.count = 0;
    probe.until = icaltime_null_time();
    // Past the year 20000 in one step; a monthly one lands on the same month.
    probe.interval = yearly ? 32767 : 32760;

    // What libical's expansion of a period depends on: a year's length and the weekday of
    // its 1 January; a month's number, its length and the weekday of its first day. Each
    // kind is asked about once.
    std::bitset<24 * 7> asked;
    long cycle = yearly ? CYCLE_YEARS : CYCLE_YEARS * 12;
    long steps = cycle / std::gcd((long)rule.interval, cycle);
    long period = yearly ? year : year * 12L + month - 1;
    for (long k = 0; k < steps; ++k, period += rule.interval) {
        int y = yearly ? (int)period : (int)(period / 12);
        int m = yearly ? month : (int)(period % 12) + 1;
        if (!yearly && !inByMonth(rule, m)) continue;
        int length = daysInMonth(y, m);
        int leap = daysInMonth(y, 2) == 29;
        int kind = yearly ? leap * 7 + WeekdayOf(DayNumber(y, 1, 1))
                          : ((m - 1) * 2 + (m == 2 && leap)) * 7 + WeekdayOf(DayNumber(y, m, 1));
        if (asked[kind]) continue;
        asked[kind] = true;
        // The first occurrence's day and time in that period (its last day when shorter),
        // so the rule takes the same defaults from it.
        if (periodHasOccurrence(probe, {DayNumber(y, m, std::min(day, length)), first.minute}))
            return false;
    }
    return true;
}
