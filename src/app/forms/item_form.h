// What every item dialog's form is: copies of the item's fields that the dialog shows
// and edits, the checks made when OK is pressed, and the write-back after OK.
#pragma once

#include "platform/ui.h"

// The program's title, which captions its questions.
inline constexpr const char* APP_TITLE = "Vantry";

// How a press of OK ends.
enum class FormOutcome {
    Accept, // the dialog closes with OK and the fields are written back
    Stay,   // a message was shown; the dialog stays open
    Cancel, // the dialog closes as cancelled
};

// A required field left empty: the question's OK goes back to the dialog, its Cancel
// gives the edit up.
inline FormOutcome AskForMissingField(const char* question) {
    return ShowMessage(question, APP_TITLE, MsgButtons::OKCancel, MsgIcon::Question) ==
                   MsgAnswer::OK
               ? FormOutcome::Stay
               : FormOutcome::Cancel;
}

class ItemForm {
  public:
    virtual ~ItemForm() = default;
    virtual FormOutcome Validate() { return FormOutcome::Accept; }
    // Writes the fields back; called only after Validate accepted.
    virtual void Store() = 0;
};

// A radio group or drop-down list over a stored index. A stored value outside the
// choices shows as the first choice and is kept unless the user picks another one.
class StoredChoice {
  public:
    StoredChoice(int stored, int count)
        : value(stored), shown(stored >= 0 && stored < count ? stored : 0) {}
    int Shown() const { return shown; }
    int Value() const { return value; }
    void Pick(int index) {
        if (index == shown) return;
        shown = index;
        value = index;
    }

  private:
    int value;
    int shown;
};
