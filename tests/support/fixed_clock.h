// Fixes the program's clock at one moment while the guard lives, so tests that depend
// on today's date give the same result on any day.
#pragma once

#include "foundation/qclock.h"

#include <ctime>

class FixedClock {
  public:
    // Noon of the given local day.
    FixedClock(int day, int month, int year) {
        std::tm tm{};
        tm.tm_mday = day;
        tm.tm_mon = month - 1;
        tm.tm_year = year - 1900;
        tm.tm_hour = 12;
        tm.tm_isdst = -1;
        moment() = std::mktime(&tm);
        QSetClock(&read);
    }
    ~FixedClock() { QSetClock(nullptr); }
    // Moves the clock to another moment, for tests that let time pass.
    void Set(std::time_t at) { moment() = at; }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

  private:
    static std::time_t& moment() {
        static std::time_t fixed = 0;
        return fixed;
    }
    static std::time_t read() { return moment(); }
};
