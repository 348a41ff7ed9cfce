// Notifications through wxNotificationMessage, which reaches the desktop's notification
// service (org.freedesktop.Notifications) through libnotify on GTK.
#pragma once

#include "platform/notifier.h"

#include <deque>
#include <memory>

class wxNotificationMessage;

class WxNotifier : public Notifier {
  public:
    WxNotifier();
    ~WxNotifier() override;
    void Show(const Notification& notification, NotificationAnswers& answers) override;

  private:
    // A notification answers through its object, so the latest ones are kept.
    std::deque<std::unique_ptr<wxNotificationMessage>> live;
};
