// Calendar days as plain day numbers (days since 1970-01-01), free of time zones, so
// that all-day values keep their day whatever zone the program runs in.
#pragma once

#include <ctime>
#include <string>

// The day number of a calendar day of the proleptic Gregorian calendar.
long DayNumber(int year, int month, int day);
void CalendarDay(long number, int& year, int& month, int& day);
// "YYYY-MM-DD" (as the document stores dates); false for anything else or no real day.
bool ParseDayText(const char* text, long& number);
std::string DayText(long number);
// 0 Sunday .. 6 Saturday.
int WeekdayOf(long number);
// The local day of a moment (QNow() for today).
long LocalDay(std::time_t moment);
