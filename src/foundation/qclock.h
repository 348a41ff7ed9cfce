// The current time as the program sees it. Everything that depends on today's date
// asks here, so tests can fix the moment and give the same results on any day.
#pragma once

#include <ctime>

// Now, from the installed clock (the system's clock when none is installed).
std::time_t QNow();

// Installs a clock; null brings the system's clock back.
using QClockFunction = std::time_t (*)();
void QSetClock(QClockFunction clock);
