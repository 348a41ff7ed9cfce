#include "model/vrecurrence_rule.h"

#include "model/vdays.h"

icalrecurrencetype ParseRule(const std::string& rule) {
    icalrecurrencetype r = icalrecurrencetype_from_string(rule.c_str());
    // libical leaves an error behind for the caller to see; nobody else looks at it.
    icalerror_clear_errno();
    return r;
}

const char* FaultOf(const icalrecurrencetype& r) {
    if (r.freq == ICAL_NO_RECURRENCE)
        return "a rule that cannot be followed (RFC 5545 wants a FREQ, and a COUNT and an "
               "INTERVAL of 1 or more)";
    if (r.count < 0) return "a COUNT below 1";
    if (r.interval < 1) return "an INTERVAL below 1";
    return "";
}

std::optional<icalrecurrencetype> ReadRule(const std::string& rule) {
    if (rule.empty()) return std::nullopt;
    icalrecurrencetype r = ParseRule(rule);
    if (*FaultOf(r)) return std::nullopt;
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
