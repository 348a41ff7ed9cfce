// VSchedule: when an item is due, whether it repeats and when it reminds. Kept in the
// node's extension record (named fields, see vextension.h), so an item without a
// schedule writes nothing new and its document stays byte for byte what it was.
//
// Times are wall times: a day and a time of day. Without a zone they float, in whatever
// zone the program runs in, as an agenda means them ("the dentist at 09:00"); a weekly
// 09:00 stays at 09:00 across a daylight-saving change. With a zone (a calendar's TZID,
// or UTC) they are that zone's, and the series repeats in it (vzone.h turns them into
// the time here). LocalInstant turns a local time into a moment.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

class VCollection;
class VNode;

// A day (day number, vdays.h) and an optional time of day in minutes after midnight.
struct VWhen {
    long day = 0;
    std::optional<int> minute;
    bool operator==(const VWhen&) const = default;
    // Earlier first; a day without a time comes before the same day's times.
    bool operator<(const VWhen& other) const {
        return day != other.day ? day < other.day : minute.value_or(-1) < other.minute.value_or(-1);
    }
};

// The zone of an item's times: its TZID ("" floating, "UTC", a database name or a
// calendar's own name) and, for a zone the database does not hold as the calendar
// defined it, that definition (a VTIMEZONE's text).
struct VZone {
    std::string tzid;
    std::string definition;
    bool Floating() const { return tzid.empty(); }
    bool operator==(const VZone&) const = default;
};

// An occurrence a calendar changed on its own (RECURRENCE-ID): moved to another time, or
// cancelled. Both in the series' zone.
struct VMoved {
    VWhen from;
    std::optional<VWhen> to; // none: cancelled
    bool operator==(const VMoved&) const = default;
};

// Which schedule a kind can carry.
enum class ScheduleKind {
    None,  // folders, contacts, facts, locations
    Due,   // to-dos, calls, mails, pays and agreements: a due day and time of their own
    Action // actions: their days stay in the action's record; times of day on them
};
ScheduleKind ScheduleKindOf(const VNode* node);

enum class RepeatFrom {
    DueDate, // the next occurrence follows the rule from the due date
    DayDone  // ... from the day the last one was ticked done
};

struct VSchedule {
    // Due kinds only: the due day and, with it, an optional time of day.
    std::optional<long> dueDay;
    std::optional<int> dueMinute;
    // Actions only: the time of day on the first day and on the last.
    std::optional<int> startMinute;
    std::optional<int> endMinute;
    // The zone of the due time, or of an action's days and times.
    VZone zone;
    // An RFC 5545 RRULE value ("FREQ=MONTHLY;BYMONTHDAY=31"), kept as text even when
    // libical cannot read it (RuleReadable); empty: the item does not repeat. The series
    // starts at the item's due occurrence (DueOf), which moves on as occurrences are done.
    std::string rule;
    RepeatFrom repeatFrom = RepeatFrom::DueDate;
    // Occurrences taken out of the series (EXDATE; a day alone takes out that day's) and
    // added to it (RDATE), as wall times in the zone.
    std::vector<VWhen> exceptions;
    std::vector<VWhen> additions;
    std::vector<VMoved> moved;
    // Minutes before the due occurrence (0: at the due time); none: no reminder.
    std::optional<int> reminderMinutes;
    // The day the last occurrence was ticked done.
    std::optional<long> doneDay;
    // The latest occurrence whose reminder was shown, so none is shown twice.
    std::optional<VWhen> reminderShown;

    bool Empty() const { return *this == VSchedule(); }
    bool operator==(const VSchedule&) const = default;
};

// The node's schedule (empty for a node without one).
VSchedule ScheduleOf(const VCollection& collection, const VNode* node);
// Stores it in the node's extension fields; what the node's kind cannot carry is left
// out.
// An empty schedule removes every schedule field (and the record, when nothing else is
// in it). A floating due time in a daylight-saving gap moves out of it; a zoned one is
// kept as the calendar gave it (its moment follows RFC 5545's reading of the gap).
void SetSchedule(VCollection& collection, const VNode* node, const VSchedule& schedule);

// The item's due occurrence: a due kind's due day and time, an action's start day
// (unless it is undated) with its start time; none without one.
std::optional<VWhen> DueOf(const VNode* node, const VSchedule& schedule);
std::optional<VWhen> DueOf(const VCollection& collection, const VNode* node);

// Ticks the item done (or not done), the one way the check box, the dialogs and the
// commands set the done state. Ticking a repeating item done records `today` as the day
// done and moves the same node to its next occurrence (from its due date or from today,
// as the schedule says), leaving it not done; the last occurrence stays done. An item
// that becomes done keeps the clock's moment (DoneAt), one that is not done has none.
// Answers whether the node is done now.
bool SetItemDone(VCollection& collection, VNode* node, bool done, long today);
// The same with the clock's today (QNow).
bool SetItemDone(VCollection& collection, VNode* node, bool done);

// Takes one occurrence (a local time, as the agenda shows it) out of the item's series,
// as an EXDATE: the agenda, the calendar and reminders skip it. When it is the item's due
// occurrence, the item moves on to the next one as a tick would, without being done.
// False when the item does not repeat or has no such occurrence.
bool SkipOccurrence(VCollection& collection, VNode* node, const VWhen& occurrence);

// The moment the item was ticked done (set once by SetItemDone, or by an import that
// says when); none for an item not done, or done before the moment was kept.
std::optional<std::time_t> DoneAt(const VCollection& collection, const VNode* node);
void SetDoneAt(VCollection& collection, const VNode* node, std::optional<std::time_t> moment);

// The moment of a local day and time (a day without a time: its midnight). A time
// that does not exist there (a daylight-saving gap) is the next minute that does.
std::time_t LocalInstant(const VWhen& when);
// The same time moved out of a gap, as LocalInstant reads it.
VWhen ExistingLocalTime(const VWhen& when);

// "HH:MM" and back (false for anything else).
std::string MinuteText(int minute);
// An occurrence as the user reads it: its day in the document's date format and its time
// ("25-06-2010 14:00").
std::string WhenText(const VCollection& collection, const VWhen& when);
bool ParseMinuteText(const std::string& text, int& minute);
