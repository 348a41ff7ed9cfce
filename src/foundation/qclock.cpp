#include "foundation/qclock.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {
// Read from the HTTP worker threads too (page dates).
std::atomic<QClockFunction> installed{nullptr};
// Seconds the environment's clock runs ahead of the system's.
std::atomic<std::time_t> environmentOffset{0};

std::time_t environmentClock() {
    return std::time(nullptr) + environmentOffset.load();
}
} // namespace

std::time_t QNow() {
    QClockFunction clock = installed.load();
    return clock ? clock() : std::time(nullptr);
}

void QSetClock(QClockFunction clock) {
    installed.store(clock);
}

bool QSetClockFromEnvironment() {
    const char* text = std::getenv(CLOCK_VARIABLE);
    std::tm tm{};
    char end = 0;
    if (!text || std::sscanf(text, "%4d-%2d-%2dT%2d:%2d:%2d%c", &tm.tm_year, &tm.tm_mon,
                             &tm.tm_mday, &tm.tm_hour, &tm.tm_min, &tm.tm_sec, &end) != 6)
        return false;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    tm.tm_isdst = -1;
    std::time_t start = std::mktime(&tm);
    if (start == (std::time_t)-1) return false;
    environmentOffset.store(start - std::time(nullptr));
    QSetClock(&environmentClock);
    return true;
}
