#include "model/vzone.h"

#include "model/vdays.h"
#include "model/vrecurrence_rule.h"
#include "model/vschedule.h"

#include <libical/ical.h>

#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace {

constexpr long long DAY = 86400;

// libical's zones fill in their changes as they are asked for, so every use of one is
// made under this lock (the remote view's thread exports calendars too).
std::mutex& zoneLock() {
    static std::mutex lock;
    return lock;
}

struct ZoneFree {
    void operator()(icaltimezone* zone) const { icaltimezone_free(zone, 1); }
};

// Observances and dates a zone's definition may hold: more than any zone's history.
constexpr int MAX_OBSERVANCES = 1000;

// Whether libical can follow the definition's changes of offset within bounds: it works
// out every change from the first observance to 2037, so a rule that changes the offset
// more often than once a month (FREQ=SECONDLY, written by anyone) would take hours and
// gigabytes. Zones change by yearly rules or single dates.
bool followable(icalcomponent* zone) {
    int observances = 0, dates = 0;
    for (icalcomponent* o = icalcomponent_get_first_component(zone, ICAL_ANY_COMPONENT); o;
         o = icalcomponent_get_next_component(zone, ICAL_ANY_COMPONENT)) {
        if (++observances > MAX_OBSERVANCES) return false;
        for (icalproperty* p = icalcomponent_get_first_property(o, ICAL_ANY_PROPERTY); p;
             p = icalcomponent_get_next_property(o, ICAL_ANY_PROPERTY)) {
            if (icalproperty_isa(p) == ICAL_RDATE_PROPERTY && ++dates > MAX_OBSERVANCES)
                return false;
            if (icalproperty_isa(p) != ICAL_RRULE_PROPERTY) continue;
            icalrecurrencetype rule = icalproperty_get_rrule(p);
            if (rule.freq != ICAL_YEARLY_RECURRENCE && rule.freq != ICAL_MONTHLY_RECURRENCE)
                return false;
        }
    }
    return true;
}

// A zone from its definition, read once and kept (by its text) for the program's life;
// null for one libical cannot read or follow.
icaltimezone* definedZone(const std::string& definition) {
    static std::map<std::string, std::unique_ptr<icaltimezone, ZoneFree>> read;
    auto found = read.find(definition);
    if (found != read.end()) return found->second.get();
    icalcomponent* component = icalparser_parse_string(definition.c_str());
    icalerror_clear_errno();
    icaltimezone* zone = nullptr;
    if (component && icalcomponent_isa(component) == ICAL_VTIMEZONE_COMPONENT &&
        followable(component)) {
        zone = icaltimezone_new();
        if (icaltimezone_set_component(zone, component)) {
            component = nullptr; // the zone owns it now
        } else {
            icaltimezone_free(zone, 1);
            zone = nullptr;
        }
    }
    if (component) icalcomponent_free(component);
    read.emplace(definition, std::unique_ptr<icaltimezone, ZoneFree>(zone));
    return zone;
}

// Under the lock. Each name is looked up once: libical searches its list of zones by
// comparing names, and a zoned series asks for its zone at every occurrence. The zones it
// gives stay for the program's life.
icaltimezone* builtin(const std::string& name) {
    if (name.empty()) return nullptr;
    static std::unordered_map<std::string, icaltimezone*> looked;
    auto [it, fresh] = looked.try_emplace(name, nullptr);
    if (fresh) {
        it->second = icaltimezone_get_builtin_timezone(name.c_str());
        icalerror_clear_errno();
    }
    return it->second;
}

// Under the lock.
icaltimezone* zoneOf(const VZone& zone) {
    if (zone.Floating()) return nullptr;
    if (!zone.definition.empty()) return definedZone(zone.definition);
    if (zone.tzid == "UTC") return icaltimezone_get_utc_timezone();
    return builtin(zone.tzid);
}

// Seconds east of UTC in the zone at a moment.
int offsetAt(icaltimezone* zone, long long moment) {
    icaltimetype utc =
        icaltime_from_timet_with_zone((time_t)moment, 0, icaltimezone_get_utc_timezone());
    int daylight = 0;
    return icaltimezone_get_utc_offset_of_utc_time(zone, &utc, &daylight);
}

std::optional<std::time_t> instantIn(icaltimezone* zone, const VWhen& wall) {
    long long asUtc = FloatingSeconds(wall);
    // The offsets a day and a half either side: a change of offset lies between them
    // when the wall time is near one.
    int before = offsetAt(zone, asUtc - 3 * DAY / 2);
    int after = offsetAt(zone, asUtc + 3 * DAY / 2);
    std::optional<long long> first;
    for (int offset : {before, after}) {
        long long moment = asUtc - offset;
        if (offsetAt(zone, moment) == offset && (!first || moment < *first)) first = moment;
    }
    // None fits: the time lies in a gap, read with the offset before it.
    return (std::time_t)first.value_or(asUtc - before);
}

std::optional<VWhen> wallIn(icaltimezone* zone, std::time_t moment) {
    return FloatingWhen((long long)moment + offsetAt(zone, moment), false);
}

VWhen localWall(std::time_t moment) {
    std::tm local{};
    localtime_r(&moment, &local);
    return {DayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
            local.tm_hour * 60 + local.tm_min};
}

} // namespace

std::optional<std::time_t> ZonedInstant(const VWhen& wall, const VZone& zone) {
    std::lock_guard<std::mutex> hold(zoneLock());
    icaltimezone* z = zoneOf(zone);
    if (!z) return std::nullopt;
    return instantIn(z, wall);
}

std::optional<VWhen> ZonedWall(std::time_t moment, const VZone& zone) {
    std::lock_guard<std::mutex> hold(zoneLock());
    icaltimezone* z = zoneOf(zone);
    if (!z) return std::nullopt;
    return wallIn(z, moment);
}

bool ZoneKnown(const VZone& zone) {
    if (zone.Floating()) return true;
    std::lock_guard<std::mutex> hold(zoneLock());
    return zoneOf(zone) != nullptr;
}

std::string DatabaseZoneName(const std::string& tzid) {
    std::lock_guard<std::mutex> hold(zoneLock());
    if (tzid == "UTC" || builtin(tzid)) return tzid;
    // After a prefix of path segments, libical's own or a vendor's.
    for (std::size_t slash = tzid.find('/'); slash != std::string::npos;
         slash = tzid.find('/', slash + 1)) {
        std::string rest = tzid.substr(slash + 1);
        if (!rest.empty() && builtin(rest)) return rest;
    }
    return "";
}

bool DefinitionMatchesDatabase(const std::string& name, const std::string& definition) {
    std::lock_guard<std::mutex> hold(zoneLock());
    icaltimezone* own = definedZone(definition);
    icaltimezone* database = name == "UTC" ? icaltimezone_get_utc_timezone() : builtin(name);
    if (!own || !database) return false;
    static std::map<std::pair<std::string, std::string>, bool> compared;
    auto [it, fresh] = compared.try_emplace({name, definition}, true);
    if (!fresh) return it->second;
    // Every week (changes of offset are months apart) from 2010 to 2037: calendars write
    // a zone's rules of today, not its history, and the database has both.
    for (long long moment = DayNumber(2010, 1, 1) * DAY; moment < DayNumber(2038, 1, 1) * DAY;
         moment += 7 * DAY)
        if (offsetAt(own, moment) != offsetAt(database, moment)) return it->second = false;
    return true;
}

std::string ZoneDefinitionText(const VZone& zone) {
    if (zone.Floating() || zone.tzid == "UTC") return "";
    if (!zone.definition.empty()) return zone.definition;
    std::lock_guard<std::mutex> hold(zoneLock());
    icaltimezone* z = builtin(zone.tzid);
    icalcomponent* own = z ? icaltimezone_get_component(z) : nullptr;
    if (!own) return "";
    icalcomponent* copy = icalcomponent_new_clone(own);
    // libical names its zones with a prefix of its own; calendars name them plainly.
    if (icalproperty* tzid = icalcomponent_get_first_property(copy, ICAL_TZID_PROPERTY))
        icalproperty_set_tzid(tzid, zone.tzid.c_str());
    char* text = icalcomponent_as_ical_string_r(copy);
    std::string result = text ? text : "";
    icalmemory_free_buffer(text);
    icalcomponent_free(copy);
    return result;
}

VWhen ToLocal(const VWhen& wall, const VZone& zone) {
    if (!wall.minute || zone.Floating()) return wall;
    std::optional<std::time_t> moment = ZonedInstant(wall, zone);
    return moment ? localWall(*moment) : wall;
}

VWhen FromLocal(const VWhen& local, const VZone& zone) {
    if (!local.minute || zone.Floating()) return local;
    std::optional<VWhen> wall = ZonedWall(LocalInstant(local), zone);
    return wall.value_or(local);
}
