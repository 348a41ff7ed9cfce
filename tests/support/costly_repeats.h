// The repeats that cost the most to expand, for the tests and the benchmark of expansion:
// rules that repeat every second or minute, and forty that never put an occurrence after
// the first (impossible days, months or weekdays the interval never reaches).
#pragma once

#include "model/vcollection.h"

#include <vector>

struct NeverMatchingRule {
    const char* rule;
    // Expanded over a year from its first minute, it is cut by the expansion's budget
    // (a rule of minutes or seconds walks the span until then).
    bool cutInAYear;
};
const std::vector<NeverMatchingRule>& NeverMatchingRules();

// Adds the folder "Costly" with to-dos due 1 January 2026 at 00:00: "Every second"
// (FREQ=SECONDLY), "Every minute" (FREQ=MINUTELY) and "Never 1" to "Never 40", one for each
// of NeverMatchingRules.
void AddCostlyRepeats(VCollection& collection);
