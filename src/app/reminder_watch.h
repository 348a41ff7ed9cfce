// ReminderWatch: the document's reminders on the desktop. At each tick it asks the
// scheduler what is due at the clock's now (QNow), keeps the record of reminders shown
// with the document, and shows each notice through the notifier: the item's text and
// due time, or the list of reminders missed while the program was closed. The user's
// answers come back here: Snooze shows the notice again in ten minutes, Open brings the
// window up with the item selected.
#pragma once

#include "app/reminder_scheduler.h"
#include "platform/notifier.h"

#include <map>

class CSkedraDoc;
class VNode;

// The notification a notice is shown as. A missed notice lists at most MAX_LISTED
// reminders, then how many more there are.
Notification NoticeText(const VCollection& collection, const ReminderNotice& notice);

class ReminderWatch : public NotificationAnswers {
  public:
    static constexpr int MAX_LISTED = 10;

    ReminderWatch(CSkedraDoc& document, Notifier& notifier, ReminderWindow& window)
        : document(document), notifier(notifier), window(window) {}

    // Shows what is due now, then asks the window for the next tick (ReminderWindow::WakeAt).
    // The first tick of each document (a new or opened one) shows what it missed.
    void Tick();

    void Snooze(int id) override;
    void Open(int id) override;

  private:
    // The notice of a notification that can still be answered (the latest ones).
    const ReminderNotice* answerable(int id) const;

    CSkedraDoc& document;
    Notifier& notifier;
    ReminderWindow& window;
    ReminderScheduler scheduler;
    std::map<int, ReminderNotice> shown; // by notification id
    int lastId = 0;
    unsigned watchedDocument = 0; // CSkedraDoc::DocumentNumber; 0: none yet
};
