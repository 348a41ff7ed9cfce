#include "model/vrecurrence_walk.h"

#include "model/vdays.h"
#include "model/vrecurrence.h"
#include "model/vrecurrence_barren.h"
#include "model/vrecurrence_rule.h"

#include <algorithm>
#include <climits>
#include <numeric>

namespace {

constexpr long long DAY = 86400;

// The moment as libical's time, with its seconds.
icaltimetype icalAt(long long seconds, bool date) {
    icaltimetype t = IcalTime(FloatingWhen(seconds, date));
    if (!date) t.second = (int)(seconds - FloatingSeconds(FloatingWhen(seconds, date)));
    return t;
}

bool finerThanDaily(const icalrecurrencetype& r) {
    return r.freq == ICAL_SECONDLY_RECURRENCE || r.freq == ICAL_MINUTELY_RECURRENCE ||
           r.freq == ICAL_HOURLY_RECURRENCE;
}

bool has(const short* list) {
    return list[0] != ICAL_RECURRENCE_ARRAY_MAX;
}

int listed(const short* list, int size) {
    int n = 0;
    while (n < size && list[n] != ICAL_RECURRENCE_ARRAY_MAX)
        ++n;
    return std::max(n, 1);
}

// The least time one step of libical's iterator moves on. It steps through every time
// the frequency and the BYHOUR, BYMINUTE and BYSECOND lists make, whether or not the
// rule's other parts keep it: a rule of days or longer at most each listed time of a day,
// an hourly (minutely, secondly) one each interval, or, given a list of its own unit
// (which libical walks instead of the interval), each listed hour of a day (minute of an
// hour, second of a minute).
double secondsPerStep(const icalrecurrencetype& r) {
    double hours = listed(r.by_hour, ICAL_BY_HOUR_SIZE);
    double minutes = listed(r.by_minute, ICAL_BY_MINUTE_SIZE);
    double seconds = listed(r.by_second, ICAL_BY_SECOND_SIZE);
    double daily = DAY / (hours * minutes * seconds);
    switch (r.freq) {
    case ICAL_SECONDLY_RECURRENCE:
        return std::min<double>(r.interval, has(r.by_second) ? 60 / seconds : daily);
    case ICAL_MINUTELY_RECURRENCE:
        return std::min(60.0 * r.interval / seconds,
                        has(r.by_minute) ? 3600 / (minutes * seconds) : daily);
    case ICAL_HOURLY_RECURRENCE:
        return std::min(3600.0 * r.interval / (minutes * seconds), daily);
    default:
        return daily;
    }
}

// How far an hourly (minutely, secondly) series can be started afresh at one of its own
// moments and stay the same series for libical: whole intervals that keep the times of
// day it takes from its start rather than from its lists (libical puts a new start at
// the first listed hour, or minute, of its day), and whole days in a series of days.
long long restartStep(const icalrecurrencetype& r, bool date) {
    long long unit = r.freq == ICAL_SECONDLY_RECURRENCE   ? 1
                     : r.freq == ICAL_MINUTELY_RECURRENCE ? 60
                                                          : 3600;
    long long step = unit * r.interval;
    if (date || (r.freq != ICAL_HOURLY_RECURRENCE && has(r.by_hour))) return std::lcm(step, DAY);
    if (r.freq == ICAL_SECONDLY_RECURRENCE && has(r.by_minute)) return std::lcm(step, 3600LL);
    return step;
}

} // namespace

SeriesWalk::SeriesWalk(const std::string& rule, const VWhen& first, const VWhen& from,
                       const std::optional<VWhen>& until)
    : first(first), from(from), until(until) {
    std::optional<icalrecurrencetype> read = ReadRule(rule);
    if (!read || NeverRepeats(*read, first)) return;
    icalrecurrencetype r = *read;
    count = r.count;
    weeks.emplace(r);
    bool date = !first.minute;
    long long firstAt = FloatingSeconds(first), fromAt = FloatingSeconds(from), walkFrom = firstAt;
    icaltimetype dtstart = IcalTime(first);
    std::optional<icaltimetype> startAt;
    // A COUNT counts from the first occurrence, so such a series is walked from there.
    if (!count && fromAt > firstAt) {
        if (finerThanDaily(r)) {
            // libical's set_start keeps such a series in step only within a day (an hour,
            // a minute) and moves it to the first occurrence's hour (minute); the series
            // started afresh at one of its own moments before the span is the same.
            long long step = restartStep(r, date);
            walkFrom = firstAt + (fromAt - 1 - firstAt) / step * step;
            dtstart = icalAt(walkFrom, date);
        } else if ((from.day - 1) * DAY > firstAt) {
            // From the day before, so the span's first day is walked whole whatever order
            // the rule lists its times of day in.
            walkFrom = (from.day - 1) * DAY;
            startAt = icalAt(walkFrom, date);
        }
    }

    // libical stops after UNTIL: made the span's last minute (day), or the moment the
    // budget's steps reach at the most, when either comes before the rule's own.
    static const long long farAway = DayNumber(3000, 1, 1) * DAY;
    long long spanEnd =
        until ? FloatingSeconds(*until) + (until->minute ? 59 : DAY - 1) : LLONG_MAX;
    double budgetSpan = REPEAT_STEP_BUDGET * secondsPerStep(r);
    long long budgetEnd =
        budgetSpan < (double)(farAway - walkFrom) ? walkFrom + (long long)budgetSpan : LLONG_MAX;
    long long stopAt = std::min(spanEnd, budgetEnd);
    if (stopAt < farAway) {
        icaltimetype stop = icalAt(stopAt, date);
        if (icaltime_is_null_time(r.until) || icaltime_compare(stop, r.until) < 0) {
            r.until = stop;
            if (budgetEnd < spanEnd) budgetStop = FloatingWhen(budgetEnd, date);
        }
    }

    iterator = icalrecur_iterator_new(r, dtstart);
    if (iterator && startAt && !icalrecur_iterator_set_start(iterator, *startAt))
        stop(std::nullopt);
    icalerror_clear_errno();
}

SeriesWalk::~SeriesWalk() {
    if (iterator) icalrecur_iterator_free(iterator);
}

void SeriesWalk::stop(const std::optional<VWhen>& cut) {
    if (iterator) icalrecur_iterator_free(iterator);
    iterator = nullptr;
    cutAfter = cut;
}

std::optional<VWhen> SeriesWalk::Next() {
    if (firstPending) {
        firstPending = false;
        if (!(first < from) && !(until && *until < first)) return last = first;
    }
    while (iterator) {
        if (steps == REPEAT_STEP_BUDGET) {
            stop(reached);
            break;
        }
        ++steps;
        icaltimetype t = icalrecur_iterator_next(iterator);
        if (icaltime_is_null_time(t)) {
            // Its COUNT used up, its own UNTIL passed, or where the budget told it to stop.
            stop(count && produced == count ? std::nullopt : budgetStop);
            break;
        }
        ++produced;
        VWhen w = WhenOf(t);
        reached = w;
        if (until && *until < w) {
            stop(std::nullopt);
            break;
        }
        // Before the span, or a minute already given (libical gives the first occurrence
        // itself when the rule matches it, and a secondly rule sixty times a minute).
        if (w < from || (last && !(*last < w))) continue;
        if (!weeks->Holds(w.day)) continue;
        return last = w;
    }
    return std::nullopt;
}
