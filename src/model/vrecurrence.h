// Occurrences of a repeating item, expanded by libical's recurrence iterator from an
// RFC 5545 RRULE and the series' first occurrence (floating local times).
#pragma once

#include "model/vschedule.h"

#include <optional>
#include <string>
#include <vector>

// No series is expanded further than this after its first occurrence, so a rule that
// never ends (or never matches) costs a bounded time.
constexpr int MAX_REPEAT_YEARS = 10;

// Whether libical reads the rule. An unreadable one is kept as text but never expanded:
// its item has the first occurrence only.
bool RuleReadable(const std::string& rule);

// The series' occurrences on the days from `from` to `to` (both included), earliest
// first. The first occurrence counts whether or not the rule matches it (as DTSTART
// does); an empty or unreadable rule gives it alone. Occurrences in a daylight-saving
// gap keep their time of day here (LocalInstant moves them).
std::vector<VWhen> Occurrences(const std::string& rule, const VWhen& first, long from, long to);

// The first occurrence on a day after `after`; none when the series ends before.
std::optional<VWhen> NextOccurrence(const std::string& rule, const VWhen& first, long after);

// The rule of the series that starts at the next occurrence: the same rule with one
// occurrence less to go when it counts them (COUNT).
std::string RuleAfterOneOccurrence(const std::string& rule);
