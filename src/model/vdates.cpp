#include "model/vdates.h"

#include "model/vdays.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

bool ParseDate(const char* text, QDate& date) {
    if (!text || std::strlen(text) != 10 || text[4] != '-' || text[7] != '-') return false;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!std::isdigit((unsigned char)text[i])) return false;
    int month = std::atoi(text + 5);
    int day = std::atoi(text + 8);
    if (month < 1 || month > 12 || day < 1 || day > 31) return false;
    date.SetFromText(text);
    return true;
}

long DayOfDate(const QDate& date) {
    return DayNumber(date.Year(), date.Month(), date.Day());
}

QDate DateOfDay(long day) {
    int year, month, dayOfMonth;
    CalendarDay(day, year, month, dayOfMonth);
    QDate date;
    date.SetDate(dayOfMonth, month, year);
    return date;
}
