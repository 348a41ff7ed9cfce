#include "interop/ical_schedule.h"

#include "model/vdays.h"
#include "model/vrecurrence.h"

#include <cstring>
#include <ctime>

namespace {

constexpr const char* REPEAT_FROM = "X-VANTRY-REPEAT-FROM";

std::string take(char* text) {
    std::string s = text ? text : "";
    if (text) icalmemory_free_buffer(text);
    return s;
}

std::string ownLines(icalproperty* property) {
    std::string text = take(icalproperty_as_ical_string_r(property));
    icalproperty_free(property);
    return text;
}

} // namespace

icaltimetype IcalWhen(const VWhen& when) {
    icaltimetype t = when.minute ? icaltime_null_time() : icaltime_null_date();
    CalendarDay(when.day, t.year, t.month, t.day);
    if (when.minute) {
        t.hour = *when.minute / 60;
        t.minute = *when.minute % 60;
    }
    return t;
}

icaltimetype UtcValue(std::time_t moment) {
    return icaltime_from_timet_with_zone(moment, 0, icaltimezone_get_utc_timezone());
}

std::string ScheduleLines(const VSchedule& s, bool relatedToDue, const std::string& summary) {
    std::string out;
    if (RuleReadable(s.rule)) {
        out += ownLines(icalproperty_new_rrule(icalrecurrencetype_from_string(s.rule.c_str())));
        if (s.repeatFrom == RepeatFrom::DayDone) {
            icalproperty* from = icalproperty_new_x("DONE");
            icalproperty_set_x_name(from, REPEAT_FROM);
            out += ownLines(from);
        }
    }
    if (s.reminderMinutes) {
        icalcomponent* alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
        icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
        // A display alarm needs a text, and libical reads no property without a value.
        icalcomponent_add_property(
            alarm, icalproperty_new_description(summary.empty() ? "Reminder" : summary.c_str()));
        icaltriggertype trigger{icaltime_null_time(),
                                icaldurationtype_from_int(-60 * *s.reminderMinutes)};
        icalproperty* when = icalproperty_new_trigger(trigger);
        if (relatedToDue)
            icalproperty_add_parameter(when, icalparameter_new_related(ICAL_RELATED_END));
        icalcomponent_add_property(alarm, when);
        out += take(icalcomponent_as_ical_string_r(alarm));
        icalcomponent_free(alarm);
    }
    return out;
}

bool ReadScheduleProperty(icalproperty* p, IcsScheduleParts& parts) {
    if (icalproperty_isa(p) == ICAL_RRULE_PROPERTY) {
        icalrecurrencetype rule = icalproperty_get_rrule(p);
        parts.rule = take(icalrecurrencetype_as_string_r(&rule));
        return true;
    }
    if (icalproperty_isa(p) == ICAL_X_PROPERTY &&
        !std::strcmp(icalproperty_get_x_name(p), REPEAT_FROM)) {
        const char* value = icalproperty_get_x(p);
        parts.repeatFrom =
            value && !strcasecmp(value, "DONE") ? RepeatFrom::DayDone : RepeatFrom::DueDate;
        return true;
    }
    return false;
}

std::optional<std::string> RejectedRule(icalproperty* error) {
    // libical: "Can't parse as RECUR value in RRULE property. Removing entire property: X"
    const char* text = icalproperty_get_xlicerror(error);
    const char* marker = "in RRULE property. Removing entire property: ";
    const char* at = text ? std::strstr(text, marker) : nullptr;
    if (!at) return std::nullopt;
    std::string rule;
    for (const char* c = at + std::strlen(marker); *c; ++c)
        if (!(*c == '\\' && (c[1] == ';' || c[1] == ','))) rule += *c; // its escapes
    return rule;
}

bool ReadReminder(icalcomponent* alarm, IcsScheduleParts& parts) {
    if (icalcomponent_isa(alarm) != ICAL_VALARM_COMPONENT || parts.reminderMinutes) return false;
    icalproperty* p = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
    if (!p) return false;
    icaltriggertype trigger = icalproperty_get_trigger(p);
    int seconds = icaldurationtype_as_int(trigger.duration);
    // Only a trigger relative to the item, at or before it, is a reminder of ours.
    if (!icaltime_is_null_time(trigger.time) || seconds > 0) return false;
    parts.reminderMinutes = -seconds / 60;
    return true;
}
