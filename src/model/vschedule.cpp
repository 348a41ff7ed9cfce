#include "model/vschedule.h"

#include "foundation/qclock.h"
#include "model/vcollection.h"
#include "model/vdates.h"
#include "model/vdays.h"
#include "model/vrecurrence.h"
#include "model/vseries.h"
#include "model/vtask.h"
#include "model/vzone.h"

#include <algorithm>
#include <cstdio>

namespace {

using X = VExtensions;

std::optional<long> dayField(const VExtensions& e, const VNode* node, const char* name) {
    long day = 0;
    std::string text = e.Field(node, name);
    if (text.empty() || !ParseDayText(text.c_str(), day)) return std::nullopt;
    return day;
}

std::optional<int> minuteField(const VExtensions& e, const VNode* node, const char* name) {
    int minute = 0;
    if (!ParseMinuteText(e.Field(node, name), minute)) return std::nullopt;
    return minute;
}

std::optional<int> numberField(const VExtensions& e, const VNode* node, const char* name) {
    std::string text = e.Field(node, name);
    int number = 0, used = 0;
    if (text.empty() || std::sscanf(text.c_str(), "%d%n", &number, &used) != 1 ||
        used != (int)text.size() || number < 0)
        return std::nullopt;
    return number;
}

// "YYYY-MM-DD" or "YYYY-MM-DDTHH:MM".
std::string whenText(const VWhen& when) {
    return DayText(when.day) + (when.minute ? "T" + MinuteText(*when.minute) : "");
}

std::optional<VWhen> parseWhen(const std::string& text) {
    VWhen when;
    if (text.size() < 10 || !ParseDayText(text.substr(0, 10).c_str(), when.day))
        return std::nullopt;
    if (text.size() == 10) return when;
    int minute = 0;
    if (text[10] != 'T' || !ParseMinuteText(text.substr(11), minute)) return std::nullopt;
    when.minute = minute;
    return when;
}

std::optional<VWhen> whenField(const VExtensions& e, const VNode* node, const char* name) {
    return parseWhen(e.Field(node, name));
}

// "YYYY-MM-DD[THH:MM],..."; what does not read as a day is left out.
std::vector<VWhen> whenListField(const VExtensions& e, const VNode* node, const char* name) {
    std::vector<VWhen> list;
    std::string text = e.Field(node, name);
    for (std::size_t start = 0; start < text.size();) {
        std::size_t comma = std::min(text.find(',', start), text.size());
        if (std::optional<VWhen> when = parseWhen(text.substr(start, comma - start)))
            list.push_back(*when);
        start = comma + 1;
    }
    return list;
}

std::vector<VMoved> movedField(const VExtensions& e, const VNode* node) {
    std::vector<VMoved> list;
    std::string text = e.Field(node, X::REPEAT_MOVED);
    for (std::size_t start = 0; start < text.size();) {
        std::size_t comma = std::min(text.find(',', start), text.size());
        std::string one = text.substr(start, comma - start);
        std::size_t arrow = one.find('>');
        std::optional<VWhen> from = parseWhen(one.substr(0, arrow));
        if (from && arrow != std::string::npos)
            list.push_back({*from, parseWhen(one.substr(arrow + 1))});
        start = comma + 1;
    }
    return list;
}

std::string movedText(const std::vector<VMoved>& list) {
    std::string text;
    for (const VMoved& m : list)
        text += (text.empty() ? "" : ",") + whenText(m.from) + ">" + (m.to ? whenText(*m.to) : "");
    return text;
}

std::string whenListText(const std::vector<VWhen>& list) {
    std::string text;
    for (const VWhen& when : list)
        text += (text.empty() ? "" : ",") + whenText(when);
    return text;
}

template <typename T, typename Format>
std::string textOf(const std::optional<T>& value, Format format) {
    return value ? format(*value) : std::string();
}

VTask* actionOf(VNode* node) {
    return ScheduleKindOf(node) == ScheduleKind::Action ? static_cast<VTask*>(node) : nullptr;
}

// Moves the item to the occurrence `next`: a due kind's due day and time, an action's
// days and times (a rule that changes the time of day, BYHOUR=9,15, moves its end time by
// as much, within the day).
void moveTo(VNode* node, VSchedule& schedule, const VWhen& next) {
    if (VTask* action = actionOf(node)) {
        action->startDate = DayText(next.day).c_str();
        if (schedule.startMinute && next.minute && schedule.endMinute)
            schedule.endMinute = std::clamp(
                *schedule.endMinute + *next.minute - *schedule.startMinute, 0, 24 * 60 - 1);
        if (schedule.startMinute) schedule.startMinute = next.minute;
        return;
    }
    schedule.dueDay = next.day;
    schedule.dueMinute = next.minute;
}

} // namespace

ScheduleKind ScheduleKindOf(const VNode* node) {
    switch (node->Dialog()) {
    case ItemDialog::Todo:
    case ItemDialog::Call:
    case ItemDialog::Mail:
    case ItemDialog::Pay:
    case ItemDialog::Agreement:
        return ScheduleKind::Due;
    case ItemDialog::Action:
        return ScheduleKind::Action;
    default:
        return ScheduleKind::None;
    }
}

VSchedule ScheduleOf(const VCollection& collection, const VNode* node) {
    VSchedule s;
    const VExtensions& e = collection.extensions;
    if (!e.Find(node)) return s;
    s.dueDay = dayField(e, node, X::DUE_DAY);
    s.dueMinute = minuteField(e, node, X::DUE_TIME);
    s.startMinute = minuteField(e, node, X::START_TIME);
    s.endMinute = minuteField(e, node, X::END_TIME);
    s.zone = {e.Field(node, X::ZONE), e.Field(node, X::ZONE_DEFINITION)};
    if (s.zone.Floating()) s.zone.definition.clear();
    s.rule = e.Field(node, X::REPEAT_RULE);
    s.exceptions = whenListField(e, node, X::REPEAT_EXCEPT);
    s.additions = whenListField(e, node, X::REPEAT_ADD);
    s.moved = movedField(e, node);
    s.repeatFrom =
        e.Field(node, X::REPEAT_FROM) == "done" ? RepeatFrom::DayDone : RepeatFrom::DueDate;
    s.reminderMinutes = numberField(e, node, X::REMIND_BEFORE);
    s.doneDay = dayField(e, node, X::DONE_DAY);
    s.reminderShown = whenField(e, node, X::REMINDER_SHOWN);
    return s;
}

void SetSchedule(VCollection& collection, const VNode* node, const VSchedule& given) {
    VSchedule s = given;
    ScheduleKind kind = ScheduleKindOf(node);
    if (kind != ScheduleKind::Due) s.dueDay.reset();
    if (!s.dueDay) s.dueMinute.reset();
    if (kind != ScheduleKind::Action) {
        s.startMinute.reset();
        s.endMinute.reset();
    }
    if (kind == ScheduleKind::None) s = VSchedule();
    if (!s.dueMinute && !s.startMinute && !s.endMinute) s.zone = VZone(); // days have none
    if (s.dueDay && s.dueMinute && s.zone.Floating()) {
        VWhen existing = ExistingLocalTime({*s.dueDay, s.dueMinute}); // a gap may end tomorrow
        s.dueDay = existing.day;
        s.dueMinute = existing.minute;
    }

    auto day = [](long d) { return DayText(d); };
    auto number = [](int n) { return std::to_string(n); };
    VExtensions& e = collection.extensions;
    e.SetField(node, X::DUE_DAY, textOf(s.dueDay, day));
    e.SetField(node, X::DUE_TIME, textOf(s.dueMinute, MinuteText));
    e.SetField(node, X::START_TIME, textOf(s.startMinute, MinuteText));
    e.SetField(node, X::END_TIME, textOf(s.endMinute, MinuteText));
    e.SetField(node, X::ZONE, s.zone.tzid);
    e.SetField(node, X::ZONE_DEFINITION, s.zone.definition);
    e.SetField(node, X::REPEAT_RULE, s.rule);
    e.SetField(node, X::REPEAT_EXCEPT, whenListText(s.exceptions));
    e.SetField(node, X::REPEAT_ADD, whenListText(s.additions));
    e.SetField(node, X::REPEAT_MOVED, movedText(s.moved));
    e.SetField(node, X::REPEAT_FROM, s.repeatFrom == RepeatFrom::DayDone ? "done" : "");
    e.SetField(node, X::REMIND_BEFORE, textOf(s.reminderMinutes, number));
    e.SetField(node, X::DONE_DAY, textOf(s.doneDay, day));
    e.SetField(node, X::REMINDER_SHOWN, textOf(s.reminderShown, whenText));
}

std::optional<VWhen> DueOf(const VNode* node, const VSchedule& schedule) {
    switch (ScheduleKindOf(node)) {
    case ScheduleKind::Due:
        if (!schedule.dueDay) return std::nullopt;
        return VWhen{*schedule.dueDay, schedule.dueMinute};
    case ScheduleKind::Action: {
        const auto* action = static_cast<const VTask*>(node);
        long day = 0;
        if ((node->flags & NO_DATE) || !ParseDayText(action->startDate.Text(), day))
            return std::nullopt;
        return VWhen{day, schedule.startMinute};
    }
    default:
        return std::nullopt;
    }
}

std::optional<VWhen> DueOf(const VCollection& collection, const VNode* node) {
    return DueOf(node, ScheduleOf(collection, node));
}

namespace {

// The tick itself; SetItemDone keeps the moment around it.
bool tickDone(VCollection& collection, VNode* node, bool done, long today) {
    VSchedule s = ScheduleOf(collection, node);
    std::optional<VWhen> due = DueOf(node, s);
    if (!done || s.rule.empty() || !due || (node->flags & DONE)) {
        node->flags = done ? node->flags | DONE : node->flags & ~DONE;
        return done;
    }
    s.doneDay = today;
    // From the day done, the series starts afresh on that day at the due time. The next
    // occurrence is the next moment, which may be later the same day.
    VWhen from = s.repeatFrom == RepeatFrom::DayDone ? VWhen{today, due->minute} : *due;
    std::optional<VWhen> next = NextInZone(s, from, from);
    if (next) {
        s.rule = RuleAfterOneOccurrence(s.rule);
        moveTo(node, s, *next);
        node->flags &= ~DONE;
    } else {
        node->flags |= DONE; // the last occurrence
    }
    SetSchedule(collection, node, s);
    return (node->flags & DONE) != 0;
}

} // namespace

bool SkipOccurrence(VCollection& collection, VNode* node, const VWhen& occurrence) {
    VSchedule s = ScheduleOf(collection, node);
    std::optional<VWhen> due = DueOf(node, s);
    if (!due || (s.rule.empty() && s.additions.empty() && s.moved.empty())) return false;
    VWhen wall = FromLocal(occurrence, s.zone);
    if (!OccursInZone(s, *due, wall)) return false;
    if (std::find(s.exceptions.begin(), s.exceptions.end(), wall) == s.exceptions.end())
        s.exceptions.push_back(wall);
    if (wall == *due) {
        std::optional<VWhen> next = NextInZone(s, *due, *due);
        if (!next) return false; // the last one: the item itself is what is left
        s.rule = RuleAfterOneOccurrence(s.rule);
        moveTo(node, s, *next);
    }
    SetSchedule(collection, node, s);
    return true;
}

bool SetItemDone(VCollection& collection, VNode* node, bool done, long today) {
    bool wasDone = (node->flags & DONE) != 0;
    bool isDone = tickDone(collection, node, done, today);
    // Set once, when the item becomes done; an item done before the moment was kept
    // gets none rather than one that is not true.
    if (!isDone)
        SetDoneAt(collection, node, std::nullopt);
    else if (!wasDone)
        SetDoneAt(collection, node, QNow());
    return isDone;
}

bool SetItemDone(VCollection& collection, VNode* node, bool done) {
    return SetItemDone(collection, node, done, LocalDay(QNow()));
}

std::optional<std::time_t> DoneAt(const VCollection& collection, const VNode* node) {
    std::string text = collection.extensions.Field(node, X::DONE_AT);
    std::tm utc{};
    int used = 0;
    if (text.size() != 20 ||
        std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2dZ%n", &utc.tm_year, &utc.tm_mon,
                    &utc.tm_mday, &utc.tm_hour, &utc.tm_min, &utc.tm_sec, &used) != 6 ||
        used != 20 || utc.tm_mon < 1 || utc.tm_mon > 12 || utc.tm_mday < 1 || utc.tm_mday > 31 ||
        utc.tm_hour > 23 || utc.tm_min > 59 || utc.tm_sec > 60)
        return std::nullopt;
    utc.tm_year -= 1900;
    utc.tm_mon -= 1;
    return timegm(&utc);
}

void SetDoneAt(VCollection& collection, const VNode* node, std::optional<std::time_t> moment) {
    std::string text;
    if (moment) {
        std::tm utc{};
        gmtime_r(&*moment, &utc);
        char buffer[32];
        std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &utc);
        text = buffer;
    }
    collection.extensions.SetField(node, X::DONE_AT, text);
}

VWhen ExistingLocalTime(const VWhen& when) {
    if (!when.minute) return when;
    int year, month, day;
    CalendarDay(when.day, year, month, day);
    // Gaps are at most a few hours; look minute by minute for the first that exists.
    for (int minute = *when.minute; minute < *when.minute + 24 * 60; ++minute) {
        std::tm local{};
        local.tm_year = year - 1900;
        local.tm_mon = month - 1;
        local.tm_mday = day + minute / (24 * 60);
        local.tm_hour = minute % (24 * 60) / 60;
        local.tm_min = minute % 60;
        local.tm_isdst = -1;
        std::tm asked = local;
        std::time_t moment = std::mktime(&local);
        if (moment != (std::time_t)-1 && local.tm_hour == asked.tm_hour &&
            local.tm_min == asked.tm_min && local.tm_mday == asked.tm_mday)
            return VWhen{when.day + minute / (24 * 60), minute % (24 * 60)};
    }
    return when;
}

std::time_t LocalInstant(const VWhen& when) {
    VWhen existing = ExistingLocalTime(when);
    int year, month, day;
    CalendarDay(existing.day, year, month, day);
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = existing.minute.value_or(0) / 60;
    local.tm_min = existing.minute.value_or(0) % 60;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

std::string MinuteText(int minute) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", minute / 60, minute % 60);
    return text;
}

std::string WhenText(const VCollection& collection, const VWhen& when) {
    std::string text = collection.FormatDate(DateOfDay(when.day));
    if (when.minute) text += " " + MinuteText(*when.minute);
    return text;
}

bool ParseMinuteText(const std::string& text, int& minute) {
    int hour = 0, min = 0, used = 0;
    if (text.size() != 5 || std::sscanf(text.c_str(), "%2d:%2d%n", &hour, &min, &used) != 2 ||
        used != 5 || hour < 0 || hour > 23 || min < 0 || min > 59)
        return false;
    minute = hour * 60 + min;
    return true;
}
