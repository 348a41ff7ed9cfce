// The CPU time of this process, for benchmarks that time their own work apart from the
// reference programs they start.
#pragma once

#include <ctime>

inline double ProcessSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}
