#include "foundation/date.h"

#include "foundation/qclock.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>

namespace {

bool toLocal(std::int64_t t, std::tm& out) {
    std::time_t value = (std::time_t)t;
    return localtime_r(&value, &out) != nullptr;
}

// atoi over a slice of the text, never reading past its end.
int numberAt(const char* text, size_t length, size_t from, size_t count) {
    char digits[16] = {0};
    if (from < length) {
        size_t n = length - from < count ? length - from : count;
        if (n > sizeof digits - 1) n = sizeof digits - 1;
        std::memcpy(digits, text + from, n);
    }
    return std::atoi(digits);
}

// mktime reads the zone file again at every call, and a document holds thousands of
// dates: the days converted within the current second are kept, with the zone they were
// converted in (a changed zone or daylight-saving flag shows within a second).
struct DayCache {
    static constexpr int SLOTS = 512;
    struct Entry {
        int year = 0, month = 0, day = 0;
        std::int64_t t = 0;
        bool used = false;
    };
    std::time_t second = -1;
    std::string zone;
    Entry entries[SLOTS];

    // The slot for the day, emptied when the second or the zone is not the one it was filled in.
    Entry& slotFor(int year, int month, int day, std::time_t now) {
        const char* tz = std::getenv("TZ");
        std::string_view currentZone = tz ? tz : "\n(no TZ)";
        if (now != second || currentZone != zone) {
            for (Entry& e : entries)
                e.used = false;
            second = now;
            zone = currentZone;
        }
        unsigned hash = (unsigned)year * 372u + (unsigned)month * 31u + (unsigned)day;
        return entries[hash % SLOTS];
    }
};

const char* const FORMATS[] = {"%d-%m",    "%d",     "%Y-%m-%d", "%d-%m-%Y",
                               "%d-%m-%y", "%Y%m%d", "%d-%b-%y", "%m-%d-%Y"};

} // namespace

void QDate::SetFromText(const char* text) {
    if (!text) text = "";
    size_t length = std::strlen(text);
    int year = numberAt(text, length, 0, 4);
    int month = numberAt(text, length, 5, 2);
    int day = numberAt(text, length, 8, 15);
    std::time_t now = QNow();
    thread_local DayCache cache;
    DayCache::Entry& known = cache.slotFor(year, month, day, now);
    if (known.used && known.year == year && known.month == month && known.day == day) {
        t = known.t;
        return;
    }
    std::tm tm{};
    localtime_r(&now, &tm);
    // The current daylight-saving flag is kept on purpose: every calendar date then
    // has the same offset, so differences between dates are whole days.
    tm.tm_sec = 0;
    tm.tm_min = 0;
    tm.tm_hour = 1;
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    t = (std::int64_t)std::mktime(&tm);
    known = DayCache::Entry{year, month, day, t, true};
}

void QDate::SetDate(int day, int month, int year) {
    char text[64];
    std::snprintf(text, sizeof text, "%d-%s%d-%d", year, month < 10 ? "0" : "", month, day);
    SetFromText(text);
}

void QDate::SetToday() {
    std::time_t now = QNow();
    std::tm tm{};
    localtime_r(&now, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d", &tm);
    SetFromText(text);
}

int QDate::Day() const {
    std::tm tm{};
    return toLocal(t, tm) ? tm.tm_mday : 0;
}

int QDate::Month() const {
    std::tm tm{};
    return toLocal(t, tm) ? tm.tm_mon + 1 : 0;
}

int QDate::Year() const {
    std::tm tm{};
    return toLocal(t, tm) ? tm.tm_year + 1900 : 0;
}

int QDate::DayOfWeek() const {
    std::tm tm{};
    return toLocal(t, tm) ? tm.tm_wday : -1;
}

bool QDate::IsWeekend() const {
    int day = DayOfWeek();
    return day == 0 || day == 6;
}

void QDate::ToMonday() {
    // Stepping needs a convertible value; an unconvertible one would never reach Monday.
    for (int day = DayOfWeek(); day >= 0 && day != 1; day = DayOfWeek())
        AddDays(-1);
}

void QDate::ToFirstOfMonth() {
    for (int day = Day(); day > 1; day = Day())
        AddDays(-1);
}

const char* QDate::Format(int kind) const {
    thread_local char buffer[256];
    if (kind < 0 || kind >= (int)(sizeof FORMATS / sizeof FORMATS[0])) return "<QDate bad fmt>";
    std::tm tm{};
    if (!toLocal(t, tm) || std::strftime(buffer, sizeof buffer, FORMATS[kind], &tm) == 0)
        buffer[0] = 0;
    return buffer;
}
