// Zoned times between iCalendar and the schedule: which zone a value of a file is in (a
// zone of the time-zone database by its name, or the file's own VTIMEZONE when it says
// something else), a value moved into the zone of its item, and the values and VTIMEZONEs
// the export writes.
#pragma once

#include "model/vschedule.h"

#include <libical/ical.h>

#include <optional>
#include <string>

struct ValueZone {
    VZone zone;
    // A TZID no database and no VTIMEZONE of the file explains: the value floats.
    std::string unknownTzid;
};
// The zone of a date-time property's value, as the item keeps it.
ValueZone ZoneOfValue(icalproperty* property, icaltimetype value);

// A value of a file as a wall time in the item's zone: a day stays a day, a value in that
// zone (or floating) keeps its digits, one in another zone becomes the wall time of its
// moment there (in the time here for a floating item). None for no valid value.
std::optional<VWhen> WallIn(icaltimetype value, const VZone& valueZone, const VZone& itemZone);

// A wall time in one zone as the wall time of the same moment in another (a day, and a
// time in the same zone or a floating one, as it is).
VWhen WallBetween(const VWhen& wall, const VZone& from, const VZone& to);

// The moment a value names, in its zone as ZoneOfValue gives it (never through a zone
// the file defines and nobody can follow); a floating value, which RFC 5545 does not allow
// where a moment is meant (COMPLETED), its digits taken as UTC.
std::time_t MomentOf(icaltimetype value, const VZone& zone);

// A property of `kind` (DTSTART, DUE, EXDATE, RDATE) with the wall time in the zone:
// a DATE, a floating DATE-TIME, a UTC one, or one with its TZID.
icalproperty* ZonedProperty(icalproperty_kind kind, const VWhen& when, const VZone& zone);
