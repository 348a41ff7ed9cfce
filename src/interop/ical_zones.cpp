#include "interop/ical_zones.h"

#include "interop/ical_schedule.h"
#include "model/vdays.h"
#include "model/vschedule.h"
#include "model/vzone.h"

#include <ctime>

namespace {

std::string take(char* text) {
    std::string s = text ? text : "";
    if (text) icalmemory_free_buffer(text);
    return s;
}

// The VTIMEZONE the file itself gives for the TZID; "" when it gives none.
std::string ownDefinition(icalproperty* property, const std::string& tzid) {
    icalcomponent* item = icalproperty_get_parent(property);
    icalcomponent* calendar = item ? icalcomponent_get_parent(item) : nullptr;
    if (!calendar) return "";
    // With an iterator of its own: the import walks the calendar's components with the
    // calendar's, which get_first_component would start again.
    for (icalcompiter it = icalcomponent_begin_component(calendar, ICAL_VTIMEZONE_COMPONENT);
         icalcomponent* c = icalcompiter_deref(&it); icalcompiter_next(&it)) {
        icalproperty* id = icalcomponent_get_first_property(c, ICAL_TZID_PROPERTY);
        if (id && tzid == icalproperty_get_tzid(id)) return take(icalcomponent_as_ical_string_r(c));
    }
    return "";
}

} // namespace

ValueZone ZoneOfValue(icalproperty* property, icaltimetype value) {
    if (value.is_date) return {};
    if (icaltime_is_utc(value)) return {{"UTC", ""}, ""};
    icalparameter* parameter = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    const char* text = parameter ? icalparameter_get_tzid(parameter) : nullptr;
    if (!text || !*text) return {};
    std::string tzid = text;
    std::string name = DatabaseZoneName(tzid);
    std::string own = ownDefinition(property, tzid);
    // RFC 5545: the file's own definition holds. The database's name stands for it when
    // the two agree, so the document keeps a name rather than a copy of the rules.
    if (!own.empty() && !(!name.empty() && DefinitionMatchesDatabase(name, own))) {
        VZone zone{tzid, own};
        if (ZoneKnown(zone)) return {zone, ""};
    }
    if (!name.empty()) return {{name, ""}, ""};
    return {{}, tzid};
}

VWhen WallBetween(const VWhen& wall, const VZone& from, const VZone& to) {
    if (!wall.minute || from == to || from.Floating()) return wall;
    if (to.Floating()) return ToLocal(wall, from);
    std::optional<std::time_t> moment = ZonedInstant(wall, from);
    std::optional<VWhen> there = moment ? ZonedWall(*moment, to) : std::nullopt;
    return there.value_or(wall);
}

std::optional<VWhen> WallIn(icaltimetype value, const VZone& valueZone, const VZone& itemZone) {
    if (icaltime_is_null_time(value) || !icaltime_is_valid_time(value)) return std::nullopt;
    VWhen digits{DayNumber(value.year, value.month, value.day), std::nullopt};
    if (!value.is_date) digits.minute = value.hour * 60 + value.minute;
    return WallBetween(digits, valueZone, itemZone); // a zone nobody defines floats
}

std::time_t MomentOf(icaltimetype value, const VZone& zone) {
    VWhen digits{DayNumber(value.year, value.month, value.day), value.hour * 60 + value.minute};
    std::optional<std::time_t> moment = zone.Floating() ? std::nullopt : ZonedInstant(digits, zone);
    if (!moment) {
        std::tm utc{};
        utc.tm_year = value.year - 1900;
        utc.tm_mon = value.month - 1;
        utc.tm_mday = value.day;
        utc.tm_hour = value.hour;
        utc.tm_min = value.minute;
        return timegm(&utc) + value.second;
    }
    return *moment + value.second;
}

icalproperty* ZonedProperty(icalproperty_kind kind, const VWhen& when, const VZone& zone) {
    icaltimetype value = IcalWhen(when);
    bool timed = when.minute.has_value() && !zone.Floating();
    if (timed && zone.tzid == "UTC") value.zone = icaltimezone_get_utc_timezone();
    icalproperty* property = icalproperty_new(kind);
    if (kind == ICAL_RDATE_PROPERTY) {
        icaldatetimeperiodtype date{};
        date.time = value;
        date.period = icalperiodtype_null_period();
        icalproperty_set_rdate(property, date);
    } else {
        icalproperty_set_value(property, value.is_date ? icalvalue_new_date(value)
                                                       : icalvalue_new_datetime(value));
    }
    if (timed && zone.tzid != "UTC")
        icalproperty_add_parameter(property, icalparameter_new_tzid(zone.tzid.c_str()));
    return property;
}
