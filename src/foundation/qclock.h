// The current time as the program sees it. Everything that depends on today's date
// asks here, so tests can fix the moment and give the same results on any day.
#pragma once

#include <ctime>

// Now, from the installed clock (the system's clock when none is installed).
std::time_t QNow();

// Installs a clock; null brings the system's clock back.
using QClockFunction = std::time_t (*)();
void QSetClock(QClockFunction clock);

// The variable that sets the program's clock from outside, for tests of the whole
// program: "YYYY-MM-DDTHH:MM:SS", local time, the moment the program starts at.
constexpr const char* CLOCK_VARIABLE = "VANTRY_CLOCK";

// When CLOCK_VARIABLE holds a moment, installs a clock that starts there and runs on
// with the system's; false (and the system's clock) when it is unset or unreadable.
bool QSetClockFromEnvironment();
