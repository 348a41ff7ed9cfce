#include "interop/calendar_objects.h"

#include "interop/ical_bounds.h"

#include <libical/ical.h>

#include <memory>

namespace {

struct ComponentFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

// Null for a text libical cannot read, or must not (nested or crowded past the bounds).
Component parse(const std::string& ics) {
    long line = 0;
    std::string error;
    if (!WithinIcsBounds(ics, line, error)) return nullptr;
    icalerrorstate state = icalerror_get_error_state(ICAL_MALFORMEDDATA_ERROR);
    icalerror_set_error_state(ICAL_MALFORMEDDATA_ERROR, ICAL_ERROR_NONFATAL);
    Component c(icalparser_parse_string(ics.c_str()));
    icalerror_set_error_state(ICAL_MALFORMEDDATA_ERROR, state);
    return c;
}

icalcomponent* firstItem(icalcomponent* calendar) {
    if (!calendar) return nullptr;
    for (icalcomponent_kind kind : {ICAL_VTODO_COMPONENT, ICAL_VEVENT_COMPONENT})
        if (icalcomponent_isa(calendar) == kind) return calendar;
    for (icalcomponent_kind kind : {ICAL_VTODO_COMPONENT, ICAL_VEVENT_COMPONENT})
        if (icalcomponent* c = icalcomponent_get_first_component(calendar, kind)) return c;
    return nullptr;
}

std::string text(icalcomponent* c) {
    char* s = icalcomponent_as_ical_string_r(c);
    std::string out = s ? s : "";
    icalmemory_free_buffer(s);
    return out;
}

} // namespace

std::string ObjectUid(const std::string& ics) {
    Component c = parse(ics);
    icalcomponent* item = firstItem(c.get());
    const char* uid = item ? icalcomponent_get_uid(item) : nullptr;
    return uid ? uid : "";
}

std::string ObjectSummary(const std::string& ics) {
    Component c = parse(ics);
    icalcomponent* item = firstItem(c.get());
    const char* summary = item ? icalcomponent_get_summary(item) : nullptr;
    return summary ? summary : "";
}

std::string MarkedCopy(const std::string& ics, const std::string& uid, const std::string& mark) {
    Component c = parse(ics);
    icalcomponent* item = firstItem(c.get());
    if (!item) return {};
    icalcomponent_set_uid(item, uid.c_str());
    const char* summary = icalcomponent_get_summary(item);
    icalcomponent_set_summary(item, ((summary ? summary : "") + mark).c_str());
    return text(c.get());
}

std::string CombinedCalendar(const std::vector<const std::string*>& objects,
                             const std::string& name) {
    Component calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    if (!name.empty()) {
        icalproperty* p = icalproperty_new_x(name.c_str());
        icalproperty_set_x_name(p, "X-WR-CALNAME");
        icalcomponent_add_property(calendar.get(), p);
    }
    for (const std::string* ics : objects) {
        Component object = parse(*ics);
        if (!object) continue;
        if (icalcomponent_isa(object.get()) != ICAL_VCALENDAR_COMPONENT) {
            icalcomponent_add_component(calendar.get(), object.release());
            continue;
        }
        while (icalcomponent* c =
                   icalcomponent_get_first_component(object.get(), ICAL_ANY_COMPONENT)) {
            icalcomponent_remove_component(object.get(), c);
            icalcomponent_add_component(calendar.get(), c);
        }
    }
    return text(calendar.get());
}
