#include "wx/reminder_timer.h"

#include "foundation/qclock.h"

#include <algorithm>
#include <wx/docview.h>

namespace {
// Changes come in bursts: one tick after them.
constexpr int AFTER_CHANGE_MS = 500;
// The clock may jump (a suspended machine, a changed time): a tick at least this often.
constexpr std::time_t LONGEST_SLEEP = 3600;
} // namespace

ReminderTimer::ReminderTimer(wxDocParentFrame* frame, CSkedraDoc& document)
    : frame(frame), watch(document, notifier, *this) {
    timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { watch.Tick(); });
}

ReminderTimer::~ReminderTimer() {
    timer.Stop();
}

void ReminderTimer::DocumentChanged() {
    timer.StartOnce(AFTER_CHANGE_MS);
}

std::string ReminderTimer::UnmodifiedFile() {
    wxDocument* doc = frame->GetDocumentManager()->GetCurrentDocument();
    if (!doc || doc->IsModified() || !doc->GetDocumentSaved() || doc->GetFilename().empty())
        return "";
    return std::string(doc->GetFilename().fn_str());
}

void ReminderTimer::BringUp() {
    frame->Iconize(false);
    frame->Show();
    frame->Raise();
}

void ReminderTimer::WakeAt(std::time_t moment) {
    if (!moment) {
        timer.Stop();
        return;
    }
    // The next reminder is at least a second away: the check just found none before it.
    std::time_t seconds = std::clamp<std::time_t>(moment - QNow(), 1, LONGEST_SLEEP);
    timer.StartOnce((int)seconds * 1000);
}
