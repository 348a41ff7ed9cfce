#include "app/reminder_watch.h"

#include "app/skedraDoc.h"
#include "foundation/qclock.h"
#include "model/vcollection.h"
#include "model/vschedule.h"
#include "views/LeftView.h"
#include "views/skedraView.h"

#include <string>

namespace {

// Notifications kept for their answers; older ones are gone from the desktop by then.
constexpr std::size_t MAX_ANSWERABLE = 50;

VNode* nodeOf(const VCollection& collection, std::uint32_t serial) {
    for (VNode* node = collection.root; node; node = node->next)
        if (node->Serial() == serial) return node;
    return nullptr;
}

std::string itemText(const VNode* node) {
    qstring text;
    node->Describe(text, true);
    return text.Text();
}

} // namespace

Notification NoticeText(const VCollection& collection, const ReminderNotice& notice) {
    Notification shown;
    int listed = 0, more = 0;
    for (const Reminder& reminder : notice.reminders) {
        const VNode* node = nodeOf(collection, reminder.serial);
        if (!node) continue;
        std::string due = "Due " + WhenText(collection, reminder.occurrence);
        if (!notice.missed) {
            shown.title = itemText(node);
            shown.body = due + "\n";
            return shown;
        }
        if (listed < ReminderWatch::MAX_LISTED) {
            shown.body += itemText(node) + " (" + due + ")\n";
            ++listed;
        } else {
            ++more;
        }
    }
    int count = listed + more;
    if (count == 0) return shown;
    shown.title = std::to_string(count) + (count == 1 ? " missed reminder" : " missed reminders");
    if (more) shown.body += "and " + std::to_string(more) + " more\n";
    return shown;
}

void ReminderWatch::Tick() {
    if (watchedDocument != document.DocumentNumber()) {
        watchedDocument = document.DocumentNumber();
        scheduler.Reset();
        shown.clear();
    }
    VCollection& collection = *document.Collection();
    ReminderCheck check = scheduler.Check(collection, QNow());
    // Recorded first, so a restart after any notification never shows it again.
    if (check.recorded) document.RemindersRecorded(window.UnmodifiedFile());
    for (ReminderNotice& notice : check.notices) {
        Notification notification = NoticeText(collection, notice);
        if (notification.title.empty()) continue; // its items are gone
        notification.id = ++lastId;
        shown.emplace(notification.id, std::move(notice));
        if (shown.size() > MAX_ANSWERABLE) shown.erase(shown.begin());
        notifier.Show(notification, *this);
    }
    window.WakeAt(scheduler.NextWake());
}

const ReminderNotice* ReminderWatch::answerable(int id) const {
    auto found = shown.find(id);
    return found == shown.end() ? nullptr : &found->second;
}

void ReminderWatch::Snooze(int id) {
    const ReminderNotice* notice = answerable(id);
    if (!notice) return;
    scheduler.Snooze(*notice, QNow());
    shown.erase(id);
    window.WakeAt(scheduler.NextWake());
}

void ReminderWatch::Open(int id) {
    const ReminderNotice* notice = answerable(id);
    if (!notice) return;
    VCollection& collection = *document.Collection();
    for (const Reminder& reminder : notice->reminders) {
        VNode* item = nodeOf(collection, reminder.serial);
        if (!item) continue;
        // The item's folder is shown, with the item selected.
        if (CLeftView* tree = CLeftView::Current()) tree->SelectNode(item->parent);
        for (VNode* node = collection.root; node; node = node->next)
            node->tempFlags &= ~SELECTED;
        item->Select();
        if (CSkedraView* view = CSkedraView::Current()) view->Redraw();
        break;
    }
    window.BringUp();
}
