#include "model/vrecurrence_rule.h"

#include "model/vdays.h"

std::optional<icalrecurrencetype> ReadRule(const std::string& rule) {
    if (rule.empty()) return std::nullopt;
    icalrecurrencetype r = icalrecurrencetype_from_string(rule.c_str());
    // libical leaves an error behind for the caller to see; nobody else looks at it.
    icalerror_clear_errno();
    if (r.freq == ICAL_NO_RECURRENCE || r.count < 0 || r.interval < 1) return std::nullopt;
    return r;
}

icaltimetype IcalTime(const VWhen& when) {
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

VWhen WhenOf(const icaltimetype& t) {
    VWhen w{DayNumber(t.year, t.month, t.day), std::nullopt};
    if (!t.is_date) w.minute = t.hour * 60 + t.minute;
    return w;
}

long long FloatingSeconds(const VWhen& when) {
    return when.day * 86400LL + when.minute.value_or(0) * 60LL;
}

VWhen FloatingWhen(long long seconds, bool date) {
    long long day = seconds / 86400 - (seconds % 86400 < 0);
    VWhen when{(long)day, std::nullopt};
    if (!date) when.minute = (int)((seconds - day * 86400) / 60);
    return when;
}
