#include "model/vdays.h"

#include <cstdio>

// Howard Hinnant's civil-day algorithms: exact for every day, no table, no time zone.
long DayNumber(int year, int month, int day) {
    long y = year - (month <= 2 ? 1 : 0);
    long era = (y >= 0 ? y : y - 399) / 400;
    long yearOfEra = y - era * 400;
    long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CalendarDay(long number, int& year, int& month, int& day) {
    number += 719468;
    long era = (number >= 0 ? number : number - 146096) / 146097;
    long dayOfEra = number - era * 146097;
    long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    long mp = (5 * dayOfYear + 2) / 153;
    day = (int)(dayOfYear - (153 * mp + 2) / 5 + 1);
    month = (int)(mp < 10 ? mp + 3 : mp - 9);
    year = (int)(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

bool ParseDayText(const char* text, long& number) {
    int year = 0, month = 0, day = 0, used = 0;
    if (!text || std::sscanf(text, "%4d-%2d-%2d%n", &year, &month, &day, &used) != 3 ||
        text[used] != '\0' || used != 10)
        return false;
    if (month < 1 || month > 12 || day < 1 || day > 31) return false;
    number = DayNumber(year, month, day);
    int y, m, d;
    CalendarDay(number, y, m, d);
    return y == year && m == month && d == day; // 2010-02-31 is no day
}

std::string DayText(long number) {
    int year, month, day;
    CalendarDay(number, year, month, day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}

int WeekdayOf(long number) {
    // 1970-01-01 was a Thursday.
    long weekday = (number + 4) % 7;
    return (int)(weekday < 0 ? weekday + 7 : weekday);
}

long LocalDay(std::time_t moment) {
    std::tm local{};
    localtime_r(&moment, &local);
    return DayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}
