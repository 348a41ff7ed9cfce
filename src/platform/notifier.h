// The desktop's notifications: a short message shown outside the main window by the
// desktop's notification service, with two answers the user may give, Snooze and Open.
// The window program installs its implementation; tests record what was shown.
#pragma once

#include <ctime>
#include <string>

// One notification. Its texts are document texts, in the document's encoding.
struct Notification {
    int id = 0; // handed back with the user's answer
    std::string title;
    std::string body; // lines end with "\n"
};

// What the user answered to a notification.
class NotificationAnswers {
  public:
    virtual ~NotificationAnswers() = default;
    virtual void Snooze(int id) = 0;
    virtual void Open(int id) = 0;
};

class Notifier {
  public:
    virtual ~Notifier() = default;
    // Shows the notification; an answer comes later, through `answers`, which must
    // outlive the notifier.
    virtual void Show(const Notification& notification, NotificationAnswers& answers) = 0;
};

// What the reminders ask of the window program around the document.
class ReminderWindow {
  public:
    virtual ~ReminderWindow() = default;
    // The document's file when the document has no unsaved changes (so a record of
    // reminders shown may be written to it at once); empty otherwise.
    virtual std::string UnmodifiedFile() = 0;
    // Brings the main window up, in front of the others.
    virtual void BringUp() = 0;
    // Asks for the reminders' next tick at this moment of the program's clock (QNow);
    // 0: none is needed until the document changes.
    virtual void WakeAt(std::time_t moment) = 0;
};
