// ReminderScheduler: which reminders of the document's items are due at a moment, when
// the next one comes, and snoozed reminders. A reminder belongs to one occurrence of an
// item; the latest occurrence whose reminder was shown is recorded in the item's
// schedule (VSchedule::reminderShown), so none is shown twice, also after a restart.
// It reads the time it is given, never a clock of its own.
#pragma once

#include "model/vschedule.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <unordered_map>
#include <vector>

class VCollection;

struct Reminder {
    std::uint32_t serial = 0; // the item (VNode::Serial)
    VWhen occurrence;         // the occurrence it reminds of
    bool operator==(const Reminder&) const = default;
};

// Reminders shown as one notification: one that fell due while the program ran, or all
// that fell due while it was closed (`missed`).
struct ReminderNotice {
    std::vector<Reminder> reminders;
    bool missed = false;
    bool operator==(const ReminderNotice&) const = default;
};

struct ReminderCheck {
    std::vector<ReminderNotice> notices;
    bool recorded = false; // the items' record of reminders shown changed
};

class ReminderScheduler {
  public:
    static constexpr std::time_t SNOOZE_SECONDS = 10 * 60;

    // The notices due at `now`, their reminders recorded as shown. The first check of a
    // document gathers every reminder that fell due and was never shown (missed while
    // the program was closed: the latest occurrence of each item) into one notice; later
    // checks give each reminder that came due since the check before a notice of its
    // own. A reminder that is already past when its item first shows it (a new item, a
    // changed due time) is recorded without being shown.
    ReminderCheck Check(VCollection& collection, std::time_t now);
    // The moment of the next reminder or snoozed notice after the last check; 0 when
    // nothing waits.
    std::time_t NextWake() const { return nextWake; }
    // The notice comes again SNOOZE_SECONDS after `now`.
    void Snooze(const ReminderNotice& notice, std::time_t now);
    // Another document: its first check gathers what it missed; snoozed notices go.
    void Reset();

  private:
    struct Snoozed {
        std::time_t until;
        ReminderNotice notice;
    };

    // What the last check found for an item: its schedule and due occurrence then, and
    // the occurrence whose reminder was the next one, with that reminder's moment.
    struct Known {
        VSchedule schedule;
        VWhen due;
        std::optional<VWhen> next;
        std::time_t nextAt = 0;
    };

    bool started = false;
    std::unordered_map<std::uint32_t, Known> known; // by item

    std::vector<Snoozed> snoozed;
    std::time_t nextWake = 0;
};
