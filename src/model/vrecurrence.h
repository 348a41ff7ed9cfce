// Occurrences of a repeating item, expanded by libical's recurrence iterator from an
// RFC 5545 RRULE and the series' first occurrence (floating local times).
//
// Every expansion is bounded by the span asked for, never by the series' age: libical's
// iterator starts at the span (a rule with COUNT, which counts from the first occurrence,
// starts there), and one expansion of one series takes at most REPEAT_STEP_BUDGET steps of
// the iterator, so any rule over any span ends quickly. A list of occurrences holds at
// most MAX_LISTED_OCCURRENCES of one series. Either bound says where it cut the list.
#pragma once

#include "model/vschedule.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Steps of libical's iterator one expansion of one series may take: every occurrence of
// an hourly rule over eleven years, or of one every fifteen minutes over a year; about a
// fifth of a second of processor time.
constexpr long REPEAT_STEP_BUDGET = 100000;
// Occurrences of one series listed for one span: an hourly rule's for a year. More (a
// minutely rule's, a secondly one's) make no agenda anyone reads.
constexpr std::size_t MAX_LISTED_OCCURRENCES = 10000;

// Whether libical reads the rule. An unreadable one (libical also refuses a COUNT or an
// INTERVAL below 1) is kept as text but never expanded: its item has the first
// occurrence only.
bool RuleReadable(const std::string& rule);
// Why a rule is not readable, for a message ("a COUNT below 1"); empty when it is, or
// when there is no rule.
std::string RuleFault(const std::string& rule);

struct OccurrenceList {
    std::vector<VWhen> found;
    // Set when the list stops short of the span's end (more than MAX_LISTED_OCCURRENCES,
    // or the budget spent): occurrences after this moment are left out.
    std::optional<VWhen> cutAfter;
};

// The series' occurrences on the days from `from` to `to` (both included), earliest
// first, each minute once. The first occurrence counts whether or not the rule matches
// it (as DTSTART does); an empty or unreadable rule gives it alone. Occurrences in a
// daylight-saving gap keep their time of day here (LocalInstant moves them).
OccurrenceList Occurrences(const std::string& rule, const VWhen& first, long from, long to);
// The same from the moment `from` to the moment `to` (both included).
OccurrenceList OccurrencesBetween(const std::string& rule, const VWhen& first, const VWhen& from,
                                  const VWhen& to);

// The first occurrence after the moment `after` (a day without a time comes before that
// day's times); none when the series ends before, or none is found within the budget.
std::optional<VWhen> NextOccurrence(const std::string& rule, const VWhen& first,
                                    const VWhen& after);

// The latest occurrence at or before the moment `at`; none before the first.
std::optional<VWhen> LatestOccurrence(const std::string& rule, const VWhen& first, const VWhen& at);

// The rule of the series that starts at the next occurrence: the same rule with one
// occurrence less to go when it counts them (COUNT).
std::string RuleAfterOneOccurrence(const std::string& rule);

// A rule as libical reads it: written back by libical (its parts in libical's order and
// case, so two spellings of one rule compare equal) with how it ends; none for a rule
// libical cannot read. The item dialogs show rules by it.
struct RuleParts {
    std::string text;
    int count = 0;                // COUNT; 0 for none
    std::optional<long> untilDay; // the day of UNTIL
    bool untilTimed = false;      // UNTIL is a date-time
};
std::optional<RuleParts> ReadRuleParts(const std::string& rule);
