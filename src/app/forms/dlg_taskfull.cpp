#include "app/forms/dlg_taskfull.h"

#include "model/vcollection.h"
#include "model/vschedule.h"
#include "model/vtask.h"

#include <cstdio>

CDlgTaskFull::CDlgTaskFull(VTask& source)
    : what(source.what), priority(source.priority, 3), start(PickerDate(source.startDate)),
      duration(source.duration), noDate(source.flags & NO_DATE), completion(source.completion),
      done(source.flags & DONE), dateFormat(source.collection->dateFormat), task(source),
      contacts(*source.collection) {
    char hours[16];
    std::snprintf(hours, sizeof hours, "%d", source.hoursOfWork);
    hoursOfWork = hours;
    for (int i = 0; i < ASSIGNEES_SHOWN; ++i)
        openedAssigned[i] = assigned[i] = contacts.PositionOf(source.assignees[i]);
    end = start;
    if (duration > 0) endFromDuration();
}

void CDlgTaskFull::endFromDuration() {
    end = start;
    end.AddDays(duration - 1);
}

bool CDlgTaskFull::ReadDuration(const char* text) {
    if (ParseInteger(text, duration)) return true;
    ShowMessage("Please enter an integer.", APP_TITLE, MsgButtons::OK, MsgIcon::Error);
    return false;
}

void CDlgTaskFull::DurationLeft() {
    if (duration < 1) duration = 1;
    noDate = false;
    endFromDuration();
}

void CDlgTaskFull::StartChanged(const QDate& date) {
    noDate = false;
    start = date;
    int days = start.DaysBetween(end) + 1;
    if (days >= 1)
        duration = days;
    else
        endFromDuration(); // the start passed the end: the action keeps its length
}

void CDlgTaskFull::EndChanged(const QDate& date) {
    noDate = false;
    end = date;
    int days = start.DaysBetween(end) + 1;
    if (days >= 1) {
        duration = days;
        return;
    }
    if (endMessageShown)
        endMessageShown = false;
    else {
        ShowMessage("End date must be later than the start date.", "Error", MsgButtons::OK,
                    MsgIcon::Error);
        endMessageShown = true;
    }
    end = start;
    duration = 1;
}

bool CDlgTaskFull::StartTyped(const char* text) {
    QDate date;
    if (!TakeDateField(text, dateFormat, date)) return false;
    if (date != start) StartChanged(date);
    return true;
}

bool CDlgTaskFull::EndTyped(const char* text) {
    QDate date;
    if (!TakeDateField(text, dateFormat, date)) return false;
    if (date != end) EndChanged(date);
    return true;
}

void CDlgTaskFull::SliderMoved(int position) {
    completion = position;
}

qstring CDlgTaskFull::CompletionLabel() const {
    char label[16];
    std::snprintf(label, sizeof label, "%d%%", completion);
    return qstring(label);
}

FormOutcome CDlgTaskFull::Validate() {
    if (what.IsEmpty()) return AskForMissingField("Please enter what to do.");
    return FormOutcome::Accept;
}

void CDlgTaskFull::Store() {
    task.what = what;
    task.priority = priority.Value();
    // A contact beyond the lists' 1000 shows as "<no-one>": it stays unless the user
    // chose someone else.
    for (int i = 0; i < ASSIGNEES_SHOWN; ++i)
        if (assigned[i] != openedAssigned[i]) task.assignees[i] = contacts.At(assigned[i]);
    task.hoursOfWork = LeadingInteger(hoursOfWork);
    task.completion = completion;
    task.startDate = PickerText(start);
    task.duration = duration < 1 ? 1 : duration;
    task.flags = noDate ? task.flags | NO_DATE : task.flags & ~NO_DATE;
    SetItemDone(*task.collection, &task, done); // after the dates: a repeat moves on from them
}
