#include "foundation/qclock.h"

#include <atomic>

namespace {
// Read from the HTTP worker threads too (page dates).
std::atomic<QClockFunction> installed{nullptr};
} // namespace

std::time_t QNow() {
    QClockFunction clock = installed.load();
    return clock ? clock() : std::time(nullptr);
}

void QSetClock(QClockFunction clock) {
    installed.store(clock);
}
