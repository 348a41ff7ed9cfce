#include "app/forms/repeat_choices.h"

#include "model/vdates.h"
#include "model/vrecurrence.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Which rule each repeat choice makes, in the list's order.
struct RepeatRule {
    Repeat repeat;
    const char* caption;
    const char* rule;
};
const RepeatRule REPEAT_RULES[] = {
    {Repeat::None, "none", ""},
    {Repeat::Daily, "every day", "FREQ=DAILY"},
    {Repeat::Weekdays, "every weekday", "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR"},
    {Repeat::Weekly, "every week", "FREQ=WEEKLY"},
    {Repeat::TwoWeeks, "every two weeks", "FREQ=WEEKLY;INTERVAL=2"},
    {Repeat::MonthlyOnDay, "every month on this day", "FREQ=MONTHLY"},
    {Repeat::MonthlyLastWeekday, "every month on the last weekday",
     "FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1"},
    {Repeat::Yearly, "every year", "FREQ=YEARLY"},
};

// A rule as libical writes it back, so that the order and case of its parts do not
// matter; "" for a rule libical cannot read.
std::string normalised(const std::string& rule) {
    std::optional<RuleParts> parts = ReadRuleParts(rule);
    return parts ? parts->text : "";
}

} // namespace

bool RepeatChoice::operator==(const RepeatChoice& other) const {
    return repeat == other.repeat && end == other.end &&
           (end != RepeatEnd::Until || until == other.until) &&
           (end != RepeatEnd::Count || count == other.count);
}

const std::vector<std::string>& RepeatCaptions() {
    static const std::vector<std::string> captions = [] {
        std::vector<std::string> all;
        for (const RepeatRule& r : REPEAT_RULES)
            all.push_back(r.caption);
        return all;
    }();
    return captions;
}

std::string RuleOfChoice(const RepeatChoice& choice, bool timed) {
    if (choice.repeat == Repeat::None || choice.repeat == Repeat::Custom) return "";
    std::string rule = REPEAT_RULES[(int)choice.repeat].rule;
    char end[48];
    if (choice.end == RepeatEnd::Until) {
        std::snprintf(end, sizeof end, ";UNTIL=%04d%02d%02d%s", choice.until.Year(),
                      choice.until.Month(), choice.until.Day(), timed ? "T235959" : "");
        rule += end;
    } else if (choice.end == RepeatEnd::Count) {
        std::snprintf(end, sizeof end, ";COUNT=%d", choice.count < 1 ? 1 : choice.count);
        rule += end;
    }
    return rule;
}

RepeatChoice ChoiceOfRule(const char* rule) {
    RepeatChoice choice;
    if (!rule || !*rule) return choice;
    choice.repeat = Repeat::Custom;
    std::optional<RuleParts> read = ReadRuleParts(rule);
    if (!read) return choice;
    RepeatChoice candidate;
    if (read->count > 0) {
        candidate.end = RepeatEnd::Count;
        candidate.count = read->count;
    } else if (read->untilDay) {
        candidate.end = RepeatEnd::Until;
        candidate.until = DateOfDay(*read->untilDay);
    }
    // The choice whose rule, read by libical, is the same rule.
    for (const RepeatRule& r : REPEAT_RULES) {
        candidate.repeat = r.repeat;
        if (r.repeat != Repeat::None &&
            normalised(RuleOfChoice(candidate, read->untilTimed)) == read->text)
            return candidate;
    }
    return choice;
}

const std::vector<std::string>& RemindCaptions() {
    static const std::vector<std::string> captions = {
        "no reminder", "at the due time", "minutes before", "hours before", "days before"};
    return captions;
}

ReminderChoice ReminderOfMinutes(int minutesBefore) {
    if (minutesBefore < 0) return {};
    if (minutesBefore == 0) return {RemindUnit::AtDue, 0};
    if (minutesBefore % (24 * 60) == 0) return {RemindUnit::Days, minutesBefore / (24 * 60)};
    if (minutesBefore % 60 == 0) return {RemindUnit::Hours, minutesBefore / 60};
    return {RemindUnit::Minutes, minutesBefore};
}

int MinutesOfReminder(const ReminderChoice& choice) {
    int amount = choice.amount < 0 ? 0 : choice.amount;
    switch (choice.unit) {
    case RemindUnit::None:
        return -1;
    case RemindUnit::AtDue:
        return 0;
    case RemindUnit::Minutes:
        return amount;
    case RemindUnit::Hours:
        return amount * 60;
    case RemindUnit::Days:
        return amount * 24 * 60;
    }
    return -1;
}
