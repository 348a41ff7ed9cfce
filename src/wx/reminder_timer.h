// Drives the document's reminders from the main window: a timer ticks the watch at the
// moment it asks for (on the program's clock, QNow) and soon after every change of the
// document; notifications go to the desktop through WxNotifier.
#pragma once

#include "app/reminder_watch.h"
#include "wx/wx_notifier.h"

#include <wx/timer.h>

class CSkedraDoc;
class wxDocParentFrame;

class ReminderTimer : public ReminderWindow {
  public:
    ReminderTimer(wxDocParentFrame* frame, CSkedraDoc& document);
    ~ReminderTimer() override;
    // The document changed (or another one came): a tick soon.
    void DocumentChanged();

    // ReminderWindow
    std::string UnmodifiedFile() override;
    void BringUp() override;
    void WakeAt(std::time_t moment) override;

  private:
    wxDocParentFrame* frame;
    wxTimer timer;
    WxNotifier notifier;
    ReminderWatch watch;
};
