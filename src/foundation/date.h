// QDate: a point in time in seconds since 1970 (UTC), 0 meaning "no date".
// Calendar dates sit at 01:00 local time; whole days are steps of 86400 seconds.
#pragma once

#include <cstdint>

class QDate {
  public:
    QDate() = default;
    explicit QDate(std::int64_t seconds) : t(seconds) {}

    std::int64_t Seconds() const { return t; }
    bool IsSet() const { return t != 0; }

    void SetFromText(const char* text); // "YYYY-MM-DD"
    void SetDate(int day, int month, int year);
    void SetToday();

    void AddDays(int n) { t += (std::int64_t)n * 86400; }
    int DaysBetween(const QDate& other) const { return (int)((other.t - t) / 86400); }

    bool operator==(const QDate& o) const { return t == o.t; }
    bool operator!=(const QDate& o) const { return t != o.t; }
    bool operator<(const QDate& o) const { return t < o.t; }
    bool operator>(const QDate& o) const { return t > o.t; }
    bool operator<=(const QDate& o) const { return t <= o.t; }
    bool operator>=(const QDate& o) const { return t >= o.t; }

    // Local calendar fields; 0 (-1 for DayOfWeek) when the value cannot be converted.
    int Day() const;
    int Month() const;
    int Year() const;
    int DayOfWeek() const; // 0 Sunday .. 6 Saturday
    bool IsWeekend() const;

    void ToMonday();
    void ToFirstOfMonth();

    // Kinds 0..7 (see the table in date.cpp); another kind gives "<QDate bad fmt>".
    // The text lives in a per-thread buffer overwritten by the next call.
    const char* Format(int kind) const;

  private:
    std::int64_t t = 0;
};
