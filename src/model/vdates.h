// Date texts of the item model: "YYYY-MM-DD" as stored in items and files.
#pragma once

#include "foundation/date.h"
#include "foundation/qstring.h"

// Parses a stored date text into 01:00 of that day; false (and the date untouched) when
// the text is not a date of that form.
bool ParseDate(const char* text, QDate& date);

// The stored form of a date.
inline qstring DateText(const QDate& date) {
    return qstring(date.Format(2));
}

// A date's calendar day as a day number (vdays.h) and back (01:00 of that day).
long DayOfDate(const QDate& date);
QDate DateOfDay(long day);
