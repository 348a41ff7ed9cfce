#include "model/vrecurrence.h"

#include "model/vdays.h"

#include <libical/ical.h>

#include <memory>

namespace {

// A readable rule, or none.
std::optional<icalrecurrencetype> readRule(const std::string& rule) {
    if (rule.empty()) return std::nullopt;
    icalrecurrencetype r = icalrecurrencetype_from_string(rule.c_str());
    // libical leaves an error behind for the caller to see; nobody else looks at it.
    icalerror_clear_errno();
    if (r.freq == ICAL_NO_RECURRENCE) return std::nullopt;
    return r;
}

icaltimetype icalTime(const VWhen& when) {
    int year, month, day;
    CalendarDay(when.day, year, month, day);
    icaltimetype t = icaltime_null_time();
    t.year = year;
    t.month = month;
    t.day = day;
    t.is_date = !when.minute;
    if (when.minute) {
        t.hour = *when.minute / 60;
        t.minute = *when.minute % 60;
    }
    return t; // floating: no zone
}

VWhen when(const icaltimetype& t) {
    VWhen w{DayNumber(t.year, t.month, t.day), std::nullopt};
    if (!t.is_date) w.minute = t.hour * 60 + t.minute;
    return w;
}

using Iterator = std::unique_ptr<icalrecur_iterator, decltype(&icalrecur_iterator_free)>;

// Walks the series from its first occurrence, calling `take` for each until it answers
// false, the series ends or MAX_REPEAT_YEARS have passed.
template <typename Take> void walk(const std::string& rule, const VWhen& first, Take take) {
    std::optional<icalrecurrencetype> r = readRule(rule);
    if (!take(first) || !r) return;
    Iterator it(icalrecur_iterator_new(*r, icalTime(first)), icalrecur_iterator_free);
    icalerror_clear_errno();
    if (!it) return;
    int year, month, day;
    CalendarDay(first.day, year, month, day);
    long last = DayNumber(year + MAX_REPEAT_YEARS, month, 1) + day - 1;
    for (icaltimetype t = icalrecur_iterator_next(it.get()); !icaltime_is_null_time(t);
         t = icalrecur_iterator_next(it.get())) {
        VWhen w = when(t);
        if (w.day > last) return;
        // libical hands out the first occurrence itself when the rule matches it.
        if (w == first) continue;
        if (!take(w)) return;
    }
}

} // namespace

bool RuleReadable(const std::string& rule) {
    return readRule(rule).has_value();
}

std::vector<VWhen> Occurrences(const std::string& rule, const VWhen& first, long from, long to) {
    std::vector<VWhen> found;
    walk(rule, first, [&](const VWhen& w) {
        if (w.day > to) return false;
        if (w.day >= from) found.push_back(w);
        return true;
    });
    return found;
}

std::optional<VWhen> NextOccurrence(const std::string& rule, const VWhen& first, long after) {
    std::optional<VWhen> next;
    walk(rule, first, [&](const VWhen& w) {
        if (w.day <= after) return true;
        next = w;
        return false;
    });
    return next;
}

std::string RuleAfterOneOccurrence(const std::string& rule) {
    std::optional<icalrecurrencetype> r = readRule(rule);
    if (!r || r->count <= 1) return rule;
    --r->count;
    char* text = icalrecurrencetype_as_string_r(&*r);
    std::string result = text ? text : rule;
    icalmemory_free_buffer(text);
    return result;
}
