// The repeat and reminder choices of the item dialogs: which RRULE each repeat choice
// makes, which choices a stored RRULE shows (a rule they cannot show is "custom" and kept
// as it is), and the reminder as a number of minutes, hours or days before the due time.
#pragma once

#include "foundation/date.h"

#include <string>
#include <vector>

// The repeat list's entries, in its order; Custom stands for a stored rule the others
// cannot show and is offered only then.
enum class Repeat {
    None,
    Daily,
    Weekdays,
    Weekly,
    TwoWeeks,
    MonthlyOnDay,
    MonthlyLastWeekday,
    Yearly,
    Custom,
};
// How a repeat ends.
enum class RepeatEnd { Never, Until, Count };

struct RepeatChoice {
    Repeat repeat = Repeat::None;
    RepeatEnd end = RepeatEnd::Never;
    QDate until; // the last day that may hold an occurrence (with RepeatEnd::Until)
    int count = 0;
    bool operator==(const RepeatChoice& other) const;
};

// The captions of the repeat list: "none", "every day", ...
const std::vector<std::string>& RepeatCaptions();

// The RRULE the choice makes, "" for none. A timed due date repeats until the end of the
// last day (UNTIL must be a date-time then), an all-day one until that day.
std::string RuleOfChoice(const RepeatChoice& choice, bool timed);
// The choice a stored rule shows: None for an empty rule, Custom for one the choices
// cannot show or libical cannot read.
RepeatChoice ChoiceOfRule(const char* rule);

// The reminder list: none, at the due time, or a number of units before it.
enum class RemindUnit { None, AtDue, Minutes, Hours, Days };
const std::vector<std::string>& RemindCaptions();
struct ReminderChoice {
    RemindUnit unit = RemindUnit::None;
    int amount = 0; // of minutes, hours or days
};
// A reminder offset in minutes before the due time (negative: no reminder) and back; an
// offset shows in the largest unit that divides it.
ReminderChoice ReminderOfMinutes(int minutesBefore);
int MinutesOfReminder(const ReminderChoice& choice);
