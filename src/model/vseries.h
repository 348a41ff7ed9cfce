// An item's whole series as this machine shows it: the rule followed in the item's own
// zone (vrecurrence.h), the exceptions (EXDATE) taken out and the additions (RDATE) put in,
// then each occurrence turned into the local time here (vzone.h). `first` is the item's
// due occurrence (DueOf), a wall time in the schedule's zone; everything else, asked and
// answered, is local time.
#pragma once

#include "model/vrecurrence.h"
#include "model/vschedule.h"

#include <optional>

// The occurrences on the local days from `from` to `to` (both included), earliest first.
OccurrenceList SeriesOccurrences(const VSchedule& schedule, const VWhen& first, long from, long to);
// The first occurrence after the local moment `after`; none when the series ends before.
std::optional<VWhen> SeriesNext(const VSchedule& schedule, const VWhen& first, const VWhen& after);
// The latest occurrence at or before the local moment `at`; none before the first.
std::optional<VWhen> SeriesLatest(const VSchedule& schedule, const VWhen& first, const VWhen& at);

// The same in the zone's wall time, for moving the item itself on to its next occurrence.
std::optional<VWhen> NextInZone(const VSchedule& schedule, const VWhen& first, const VWhen& after);

// Whether the series has an occurrence at the wall time in its zone.
bool OccursInZone(const VSchedule& schedule, const VWhen& first, const VWhen& wall);

// The item's due occurrence (DueOf) as local time here.
std::optional<VWhen> LocalDueOf(const VNode* node, const VSchedule& schedule);
