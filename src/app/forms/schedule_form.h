// ScheduleForm: the part of an item dialog that says when the item is due: a due date
// and optional time (or an action's times of day), the repeat and the reminder. It reads
// the node's schedule when the dialog opens and writes it back only in Store.
#pragma once

#include "app/forms/item_form.h"
#include "app/forms/repeat_choices.h"
#include "foundation/date.h"
#include "foundation/qstring.h"
#include "model/vschedule.h"

#include <optional>
#include <string>
#include <vector>

class VCollection;
class VNode;

class ScheduleForm {
  public:
    ScheduleForm(VCollection& collection, VNode& node);

    // Whether the node has a due date of its own (to-dos, calls, mails, pays, agreements)
    // or times on an action's days.
    bool HasDueDate() const { return kind == ScheduleKind::Due; }

    // The texts of the fields and what a typed text makes of them; a text that names no
    // day or time is refused with a message. An empty field is no date or no time.
    qstring DueShown() const;
    bool TakeDue(const char* typed);
    static qstring TimeShown(const std::optional<int>& minute);
    static bool TakeTime(const char* typed, std::optional<int>& minute);
    qstring UntilShown() const;
    bool TakeUntil(const char* typed);
    qstring TimesShown() const;
    bool TakeTimes(const char* typed);
    qstring RemindAmountShown() const;
    bool TakeRemindAmount(const char* typed);

    // The repeat list: the common choices, and the stored rule when they cannot show it.
    const std::vector<std::string>& RepeatEntries() const { return repeatEntries; }
    int RepeatShown() const { return (int)choice.repeat; }
    void PickRepeat(int index);

    // A repeat or a reminder needs a due date; a repeat ends on a day or after a number of
    // times, not both. Shows the message and answers Stay when the fields disagree.
    FormOutcome Validate();
    void Store();

    std::optional<QDate> due;
    std::optional<int> dueMinute;   // due kinds
    std::optional<int> startMinute; // actions: on the first day
    std::optional<int> endMinute;   // actions: on the last day
    RepeatChoice choice;
    bool hasUntil = false; // the end fields as typed; Validate makes the choice's end of them
    bool hasCount = false;
    StoredChoice repeatFrom; // from the due date, from the day it was done
    StoredChoice remindUnit; // RemindCaptions
    int remindAmount = 0;
    int dateFormat; // the document's

    // The entries of the "Repeat from" list.
    static const std::vector<std::string>& RepeatFromEntries();

  private:
    bool timed() const;

    VCollection& collection;
    VNode& node;
    ScheduleKind kind;
    VSchedule opened;
    RepeatChoice openedChoice;
    bool openedTimed;
    std::vector<std::string> repeatEntries;
};
