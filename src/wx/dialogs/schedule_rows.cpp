// The rows that say when an item is due: its due date and time (an action's times of
// day), the repeat and the reminder, tied to the dialog's ScheduleForm.
#include "app/forms/schedule_form.h"
#include "wx/dialogs/form_dialog.h"

void FormDialog::Schedule(Rows& rows, ScheduleForm& form) {
    auto time = [this, &rows](const char* caption, std::optional<int>& minute) {
        Text(
            rows, caption, [&minute] { return ScheduleForm::TimeShown(minute); },
            [&minute](const qstring& typed) { return ScheduleForm::TakeTime(typed, minute); });
    };
    if (form.HasDueDate()) {
        Text(
            rows, "Due date", [&form] { return form.DueShown(); },
            [&form](const qstring& typed) { return form.TakeDue(typed); });
        time("Due time", form.dueMinute);
    } else {
        time("Start time", form.startMinute);
        time("End time", form.endMinute);
    }
    List(
        rows, "Repeat", form.RepeatEntries(), [&form] { return form.RepeatShown(); },
        [&form](int picked) { form.PickRepeat(picked); });
    Text(
        rows, "Until", [&form] { return form.UntilShown(); },
        [&form](const qstring& typed) { return form.TakeUntil(typed); });
    Text(
        rows, "Times", [&form] { return form.TimesShown(); },
        [&form](const qstring& typed) { return form.TakeTimes(typed); });
    List(rows, "Repeat from", ScheduleForm::RepeatFromEntries(), form.repeatFrom);
    List(rows, "Remind", RemindCaptions(), form.remindUnit);
    Text(
        rows, "How long before", [&form] { return form.RemindAmountShown(); },
        [&form](const qstring& typed) { return form.TakeRemindAmount(typed); });
}
