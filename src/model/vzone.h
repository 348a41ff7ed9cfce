// The zone an item's times are in, as iCalendar has them: none (floating: the same wall
// time wherever the program runs), UTC, a zone of the time-zone database by its name
// ("America/New_York"), or a zone a calendar file defined itself (its VTIMEZONE, kept
// with the item, wins over the database as RFC 5545 says). Every conversion goes through
// libical's zones, which read the system's tzdata; no zone rule is written here.
#pragma once

#include "model/vschedule.h"

#include <ctime>
#include <optional>
#include <string>

// A wall time in a zone turned into a moment (RFC 5545, 3.3.5): a time that a
// daylight-saving change skips is read with the offset before the change (02:30 on the
// day clocks go from 02:00 to 03:00 is 03:30), and of a time that happens twice, the first
// is meant. None for a zone no database or definition explains.
std::optional<std::time_t> ZonedInstant(const VWhen& wall, const VZone& zone);
// The wall time (to the minute) of a moment in a zone.
std::optional<VWhen> ZonedWall(std::time_t moment, const VZone& zone);

// Whether the zone's times can be placed: floating, UTC, a database zone or a definition
// libical reads.
bool ZoneKnown(const VZone& zone);
// The name of a zone the database holds under a TZID as calendars write it: the name
// itself, libical's own prefixed form, or a name after a vendor's prefix
// ("/mozilla.org/20050126_1/Europe/Berlin"); "" when none.
std::string DatabaseZoneName(const std::string& tzid);
// Whether a definition (a VTIMEZONE's text) gives the same offsets as the database's zone
// of that name from 2010 to 2037, so the name alone can stand for it.
bool DefinitionMatchesDatabase(const std::string& name, const std::string& definition);
// The zone's VTIMEZONE, its TZID the zone's, to go with times written in it; "" for
// floating, UTC and unknown zones.
std::string ZoneDefinitionText(const VZone& zone);

// An item's time as this machine shows it, and back. A day without a time, a floating
// time and a time in a zone nobody knows stay as they are; others become the local wall
// time of their moment (a local time a change skips is taken as the next that exists).
VWhen ToLocal(const VWhen& wall, const VZone& zone);
VWhen FromLocal(const VWhen& local, const VZone& zone);
