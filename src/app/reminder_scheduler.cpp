#include "app/reminder_scheduler.h"

#include "model/vcollection.h"
#include "model/vdays.h"
#include "model/vseries.h"

#include <algorithm>
#include <ctime>
#include <optional>

namespace {

struct Around {
    std::optional<VWhen> reached;
    std::optional<VWhen> next;
};

// The item's occurrences around the moment `at`: the latest at or before it (none
// already recorded as reminded) and the first after it. Both look near `at` only, so a
// series that began long ago costs no more than a new one.
Around occurrencesAround(const VSchedule& s, const VWhen& first, std::time_t at) {
    std::tm local{};
    localtime_r(&at, &local);
    VWhen now{LocalDay(at), local.tm_hour * 60 + local.tm_min};
    Around around;
    std::optional<VWhen> latest = SeriesLatest(s, first, now);
    if (latest && (!s.reminderShown || *s.reminderShown < *latest)) around.reached = latest;
    around.next = SeriesNext(s, first, now);
    return around;
}

} // namespace

ReminderCheck ReminderScheduler::Check(VCollection& collection, std::time_t now) {
    ReminderCheck result;
    ReminderNotice missed;
    missed.missed = true;
    std::unordered_map<std::uint32_t, Known> nextKnown;
    nextWake = 0;
    auto wakeAt = [this](std::time_t moment) {
        if (!nextWake || moment < nextWake) nextWake = moment;
    };

    for (VNode* node = collection.root ? collection.root->next : nullptr; node; node = node->next) {
        if ((node->flags & DONE) || ScheduleKindOf(node) == ScheduleKind::None || !node->IsActive())
            continue;
        VSchedule schedule = ScheduleOf(collection, node);
        std::optional<VWhen> due = DueOf(node, schedule);
        if (!schedule.reminderMinutes || !due) continue;
        std::uint32_t serial = node->Serial();
        auto found = known.find(serial);
        const Known* before = found == known.end() ? nullptr : &found->second;
        // Unchanged, and its next reminder still to come: nothing to expand.
        if (before && before->schedule == schedule && before->due == *due &&
            (!before->next || now < before->nextAt)) {
            if (before->next) wakeAt(before->nextAt);
            nextKnown.emplace(serial, *before);
            continue;
        }
        // A reminder comes `lead` before its occurrence.
        std::time_t lead = (std::time_t)*schedule.reminderMinutes * 60;
        Around around = occurrencesAround(schedule, *due, now + lead);
        if (around.reached) {
            Reminder reminder{serial, *around.reached};
            if (!started)
                missed.reminders.push_back(reminder);
            else if (before && before->next && !(*around.reached < *before->next))
                result.notices.push_back({{reminder}});
            schedule.reminderShown = around.reached;
            SetSchedule(collection, node, schedule);
            result.recorded = true;
        }
        Known checked{schedule, *due, around.next,
                      around.next ? LocalInstant(*around.next) - lead : 0};
        if (checked.next) wakeAt(checked.nextAt);
        nextKnown.emplace(serial, std::move(checked));
    }
    // In due order, earliest first.
    auto earlier = [](const Reminder& a, const Reminder& b) { return a.occurrence < b.occurrence; };
    std::stable_sort(missed.reminders.begin(), missed.reminders.end(), earlier);
    std::stable_sort(result.notices.begin(), result.notices.end(),
                     [&](const ReminderNotice& a, const ReminderNotice& b) {
                         return earlier(a.reminders[0], b.reminders[0]);
                     });
    if (!missed.reminders.empty()) result.notices.insert(result.notices.begin(), missed);
    started = true;
    known = std::move(nextKnown);

    auto come = std::stable_partition(snoozed.begin(), snoozed.end(),
                                      [now](const Snoozed& s) { return s.until > now; });
    for (auto it = come; it != snoozed.end(); ++it)
        result.notices.push_back(std::move(it->notice));
    snoozed.erase(come, snoozed.end());
    for (const Snoozed& s : snoozed)
        wakeAt(s.until);
    return result;
}

void ReminderScheduler::Snooze(const ReminderNotice& notice, std::time_t now) {
    snoozed.push_back({now + SNOOZE_SECONDS, notice});
    if (!nextWake || now + SNOOZE_SECONDS < nextWake) nextWake = now + SNOOZE_SECONDS;
}

void ReminderScheduler::Reset() {
    started = false;
    known.clear();
    snoozed.clear();
    nextWake = 0;
}
