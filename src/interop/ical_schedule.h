// An item's schedule in iCalendar: times of day on DUE and DTSTART (floating local
// times), RRULE, the repeat's origin (X-VANTRY-REPEAT-FROM) and the reminder (VALARM,
// TRIGGER relative to DUE or DTSTART). Shared by the export and the import.
#pragma once

#include "model/vschedule.h"

#include <libical/ical.h>

#include <ctime>
#include <optional>
#include <string>

// What the schedule adds to a VTODO besides the action's all-day days.
struct IcsScheduleParts {
    std::string rule; // RRULE value, kept as text even when libical rejects it
    RepeatFrom repeatFrom = RepeatFrom::DueDate;
    std::optional<int> reminderMinutes;
};

// A floating DATE-TIME, or a DATE without a time.
icaltimetype IcalWhen(const VWhen& when);

// A moment as a UTC DATE-TIME.
icaltimetype UtcValue(std::time_t moment);

// The RRULE, X-VANTRY-REPEAT-FROM and VALARM lines (an unreadable rule is not written;
// `relatedToDue`: the alarm's trigger counts from DUE, else from DTSTART).
std::string ScheduleLines(const VSchedule& schedule, bool relatedToDue, const std::string& summary);

// Reads a property into the parts; false when it is none of theirs.
bool ReadScheduleProperty(icalproperty* property, IcsScheduleParts& parts);
// A rule libical rejected leaves an error in its place that still names it: its text.
std::optional<std::string> RejectedRule(icalproperty* error);
// Reads a reminder from a VALARM whose trigger lies at or before the due time (or
// start); false for any other component, which is kept as it is.
bool ReadReminder(icalcomponent* alarm, IcsScheduleParts& parts);
