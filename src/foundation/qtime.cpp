#include "foundation/qtime.h"

#include "foundation/qclock.h"

#include <ctime>

const char* QCurrentDateText(const char* format) {
    thread_local char buffer[40];
    std::time_t now = QNow();
    std::tm tm{};
    localtime_r(&now, &tm);
    if (std::strftime(buffer, sizeof buffer, format ? format : "%d-%m-%Y", &tm) == 0) buffer[0] = 0;
    return buffer;
}
