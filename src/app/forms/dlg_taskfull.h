// CDlgTaskFull: the form of the action dialog "Action": what, who, when and progress,
// with the interplay of the start date, the end date and the duration.
#pragma once

#include "app/forms/form_fields.h"
#include "app/forms/item_form.h"
#include "app/forms/schedule_form.h"
#include "foundation/date.h"
#include "foundation/qstring.h"

class VTask;

class CDlgTaskFull : public ItemForm {
  public:
    static constexpr int ASSIGNEES_SHOWN = 2;

    explicit CDlgTaskFull(VTask& task);

    // The duration text as the dialog reads it; not an integer: says so and answers false.
    bool ReadDuration(const char* text);
    // The duration field lost the focus (after ReadDuration): the end follows the duration.
    void DurationLeft();
    // The user picked a start date: the duration follows, unless the start passed the end.
    void StartChanged(const QDate& date);
    // The user picked an end date: the duration follows; an end before the start is refused.
    void EndChanged(const QDate& date);
    // A start or end date typed into its field in the document's date format: a text that
    // names no day is refused with a message (false); another day counts as picked.
    bool StartTyped(const char* text);
    bool EndTyped(const char* text);
    // How a date field shows a date.
    qstring DateShown(const QDate& date) const { return DateFieldText(date, dateFormat); }
    void SliderMoved(int position);
    // The label beside the slider: the completion and "%".
    qstring CompletionLabel() const;

    // No text: asks, and OK returns to the dialog while Cancel gives up.
    FormOutcome Validate() override;
    // Writes the first two assignees and leaves the other eight as they were.
    void Store() override;

    const ContactChoices& Contacts() const { return contacts; }

    qstring what;
    qstring hoursOfWork;           // shown with "%d", read back as the integer it starts with
    StoredChoice priority;         // Low, Medium, High
    int assigned[ASSIGNEES_SHOWN]; // positions in the contact lists
    QDate start;
    QDate end; // shown only: start + duration - 1
    int duration;
    bool noDate;
    int completion;
    bool done;
    // Set after the end-date message has been shown; the next refused end date then
    // clears it instead of showing the message again.
    bool endMessageShown = false;
    int dateFormat;        // the document's
    ScheduleForm schedule; // the times of day, the repeat and the reminder

  private:
    void endFromDuration();

    VTask& task;
    ContactChoices contacts;
    int openedAssigned[ASSIGNEES_SHOWN];
};
