#include "app/forms/schedule_form.h"

#include "app/forms/form_fields.h"
#include "model/vcollection.h"
#include "model/vdates.h"
#include "model/vrecurrence.h"

#include <string>

namespace {

bool refuse(const std::string& message) {
    ShowMessage(message.c_str(), "Error", MsgButtons::OK, MsgIcon::Error);
    return false;
}

// An empty field, blanks aside.
bool blank(const char* typed) {
    for (const char* p = typed ? typed : ""; *p; ++p)
        if (*p != ' ' && *p != '\t') return false;
    return true;
}

std::string trimmed(const char* typed) {
    std::string text = typed ? typed : "";
    text.erase(0, text.find_first_not_of(" \t"));
    text.erase(text.find_last_not_of(" \t") + 1);
    return text;
}

// A whole number of at least 1 typed into a field; refused with a message otherwise.
bool takeCount(const char* typed, int& count) {
    int value = 0;
    if (ParseInteger(typed, value) && value >= 1) {
        count = value;
        return true;
    }
    return refuse(std::string("\"") + trimmed(typed) + "\" is not a number. Please type a " +
                  "whole number of at least 1.");
}

} // namespace

ScheduleForm::ScheduleForm(VCollection& c, VNode& item)
    : repeatFrom(0, 2), remindUnit(0, 5), dateFormat(c.dateFormat), collection(c), node(item),
      kind(ScheduleKindOf(&item)), opened(ScheduleOf(c, &item)) {
    if (opened.dueDay) due = DateOfDay(*opened.dueDay);
    dueMinute = opened.dueMinute;
    startMinute = opened.startMinute;
    endMinute = opened.endMinute;
    openedChoice = choice = ChoiceOfRule(opened.rule.c_str());
    hasUntil = choice.end == RepeatEnd::Until;
    hasCount = choice.end == RepeatEnd::Count;
    openedTimed = timed();
    repeatFrom = StoredChoice(opened.repeatFrom == RepeatFrom::DayDone ? 1 : 0, 2);
    ReminderChoice reminder = ReminderOfMinutes(opened.reminderMinutes.value_or(-1));
    remindUnit = StoredChoice((int)reminder.unit, (int)RemindCaptions().size());
    remindAmount = reminder.amount;
    repeatEntries = RepeatCaptions();
    // A rule the choices cannot show stays as it is unless another choice is picked.
    if (choice.repeat == Repeat::Custom)
        repeatEntries.push_back(RuleReadable(opened.rule) ? "custom: " + opened.rule
                                                          : "repeats (unreadable rule)");
}

const std::vector<std::string>& ScheduleForm::RepeatFromEntries() {
    static const std::vector<std::string> entries = {"the due date", "the day it was done"};
    return entries;
}

bool ScheduleForm::timed() const {
    return kind == ScheduleKind::Due ? dueMinute.has_value() : startMinute.has_value();
}

qstring ScheduleForm::DueShown() const {
    return due ? DateFieldText(*due, dateFormat) : qstring("");
}

bool ScheduleForm::TakeDue(const char* typed) {
    if (blank(typed)) {
        due.reset();
        return true;
    }
    QDate date;
    if (!TakeDateField(typed, dateFormat, date)) return false;
    due = date;
    return true;
}

qstring ScheduleForm::TimeShown(const std::optional<int>& minute) {
    return minute ? qstring(MinuteText(*minute).c_str()) : qstring("");
}

bool ScheduleForm::TakeTime(const char* typed, std::optional<int>& minute) {
    std::string text = trimmed(typed);
    if (text.empty()) {
        minute.reset();
        return true;
    }
    // "9:05" is 09:05.
    if (text.size() == 4 && text[1] == ':') text = "0" + text;
    int read = 0;
    if (!ParseMinuteText(text, read))
        return refuse("\"" + trimmed(typed) + "\" is not a time. Please type the time as HH:MM.");
    minute = read;
    return true;
}

qstring ScheduleForm::UntilShown() const {
    return hasUntil ? DateFieldText(choice.until, dateFormat) : qstring("");
}

bool ScheduleForm::TakeUntil(const char* typed) {
    if (blank(typed)) {
        hasUntil = false;
        return true;
    }
    if (!TakeDateField(typed, dateFormat, choice.until)) return false;
    hasUntil = true;
    return true;
}

qstring ScheduleForm::TimesShown() const {
    return hasCount ? qstring(std::to_string(choice.count).c_str()) : qstring("");
}

bool ScheduleForm::TakeTimes(const char* typed) {
    if (blank(typed)) {
        hasCount = false;
        return true;
    }
    if (!takeCount(typed, choice.count)) return false;
    hasCount = true;
    return true;
}

qstring ScheduleForm::RemindAmountShown() const {
    return remindAmount > 0 ? qstring(std::to_string(remindAmount).c_str()) : qstring("");
}

bool ScheduleForm::TakeRemindAmount(const char* typed) {
    if (blank(typed)) {
        remindAmount = 0;
        return true;
    }
    return takeCount(typed, remindAmount);
}

void ScheduleForm::PickRepeat(int index) {
    if (index >= 0 && index < (int)repeatEntries.size()) choice.repeat = (Repeat)index;
}

FormOutcome ScheduleForm::Validate() {
    auto stay = [](const char* message) {
        refuse(message);
        return FormOutcome::Stay;
    };
    bool dated = kind == ScheduleKind::Due ? due.has_value() : true;
    if (kind == ScheduleKind::Due && dueMinute && !due)
        return stay("Please type the due date of the time.");
    if (!dated && (choice.repeat != Repeat::None || remindUnit.Value() != 0))
        return stay("A repeat or a reminder needs a due date.");
    if (hasUntil && hasCount)
        return stay("A repeat ends on a day or after a number of times, not both.");
    RemindUnit unit = (RemindUnit)remindUnit.Value();
    if ((unit == RemindUnit::Minutes || unit == RemindUnit::Hours || unit == RemindUnit::Days) &&
        remindAmount < 1)
        return stay("Please type how long before the due time to remind.");
    choice.end = hasUntil ? RepeatEnd::Until : hasCount ? RepeatEnd::Count : RepeatEnd::Never;
    return FormOutcome::Accept;
}

void ScheduleForm::Store() {
    VSchedule s = opened;
    s.dueDay.reset();
    if (due) s.dueDay = DayOfDate(*due);
    s.dueMinute = dueMinute;
    s.startMinute = startMinute;
    s.endMinute = endMinute;
    // A rule is written anew only when its choices changed (or the due date gained or lost
    // its time, which changes how UNTIL is written); else it keeps its bytes.
    if (choice.repeat != Repeat::Custom && (!(choice == openedChoice) || timed() != openedTimed))
        s.rule = RuleOfChoice(choice, timed());
    s.repeatFrom = repeatFrom.Value() == 1 ? RepeatFrom::DayDone : RepeatFrom::DueDate;
    int before = MinutesOfReminder({(RemindUnit)remindUnit.Value(), remindAmount});
    s.reminderMinutes.reset();
    if (before >= 0) s.reminderMinutes = before;
    SetSchedule(collection, &node, s);
}
