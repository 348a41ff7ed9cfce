// A repeat rule as libical reads it, and times between libical and the schedule: for the
// model's recurrence files only, so libical stays inside the model.
#pragma once

#include "model/vschedule.h"

#include <libical/ical.h>

#include <optional>
#include <string>

// The rule, or none when it is empty or cannot be followed (FaultOf).
std::optional<icalrecurrencetype> ReadRule(const std::string& rule);
// The rule as libical reads it, whatever it holds.
icalrecurrencetype ParseRule(const std::string& rule);
// Why libical's reading of a rule cannot be followed: it read no frequency, or a COUNT or
// an INTERVAL below 1 (which RFC 5545 does not allow); "" when it can be.
const char* FaultOf(const icalrecurrencetype& rule);

// A floating libical time: a date for a day without a time, else a date-time.
icaltimetype IcalTime(const VWhen& when);
// The day and the minute of a libical time (its seconds dropped).
VWhen WhenOf(const icaltimetype& time);

// Seconds since 1970-01-01 00:00 of a floating moment (a day without a time: its start),
// and back: the moment's day alone for a series of days, else its day and minute.
long long FloatingSeconds(const VWhen& when);
VWhen FloatingWhen(long long seconds, bool date);
