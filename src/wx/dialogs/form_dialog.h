// FormDialog: the window of an item dialog (or Preferences), built on its form. A dialog file lays
// out its controls with the helpers below; each helper ties a control to a field of the form, which
// the dialog fills when it opens and reads back when OK is pressed. OK is the default button,
// Escape cancels and the first field has the focus.
#pragma once

#include "app/forms/item_form.h"
#include "foundation/date.h"
#include "foundation/qstring.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>
#include <wx/dialog.h>

class ScheduleForm;
class TypedText;
class wxCheckBox;
class wxChoice;
class wxFlexGridSizer;
class wxRadioBox;
class wxTextCtrl;

class FormDialog : public wxDialog {
  public:
    // The template's width, in dialog units, is the dialog's least width.
    FormDialog(wxWindow* parent, const char* title, int templateWidth, ItemForm& form);

  protected:
    // Labelled rows: a label on the left, the control filling the rest.
    struct Rows {
        wxWindow* parent;      // the dialog or the group box
        wxFlexGridSizer* grid; // label and control pairs
        wxSizer* outer;        // below the grid: controls as wide as the group
    };
    // Rows inside a group box with the caption (none without), added to `into`.
    Rows AddRows(wxSizer* into, const char* boxCaption = nullptr);
    wxSizer* Body() { return body; }

    // Single-line texts take line breaks as blanks.
    wxTextCtrl* Text(Rows& rows, const char* label, qstring& field);
    // A text the form shows and takes itself; `take` false refuses what was typed.
    wxTextCtrl* Text(Rows& rows, const char* label, std::function<qstring()> shown,
                     std::function<bool(const qstring&)> take);
    wxTextCtrl* MultiLine(Rows& rows, const char* label, qstring& field);
    // A text that is no document text (a server's address, a password): UTF-8 whatever
    // the document's encoding, which it never changes. `style`: wxTE_PASSWORD, say.
    wxTextCtrl* Utf8Text(Rows& rows, const char* label, std::string& field, long style = 0);
    wxCheckBox* Check(Rows& rows, const char* label, const char* caption, bool& field);
    // A date typed and shown in the document's date format; a text that names no day is
    // refused with a message.
    wxTextCtrl* Date(Rows& rows, const char* label, QDate& field, int dateFormat);
    wxChoice* List(Rows& rows, const char* label, const std::vector<std::string>& entries,
                   std::function<int()> shown, std::function<void(int)> pick);
    wxChoice* List(Rows& rows, const char* label, const std::vector<std::string>& entries,
                   int& position);
    wxChoice* List(Rows& rows, const char* label, const std::vector<std::string>& entries,
                   StoredChoice& choice);
    // A radio group in its own box, below the rows.
    wxRadioBox* Radios(Rows& rows, const char* caption, const std::vector<const char*>& captions,
                       StoredChoice& choice, int columns);
    // When the item is due, repeats and reminds (schedule_rows.cpp).
    void Schedule(Rows& rows, ScheduleForm& form);
    // A control that a dialog ties to its form itself.
    void Tie(std::function<void()> show, std::function<bool(TypedText&)> read);

    // Adds OK and Cancel under the body and sizes the dialog.
    void Finish();

    // The controls' values into the form; false (after telling the user) when a control
    // holds something its field cannot take.
    bool ReadControls();
    // The form's values into the controls.
    void ShowControls();
    // Whether the dialog is filling its controls (their change events are its own).
    bool Showing() const { return showing; }
    // The text whose value the last ReadControls refused (it has the focus now), if any.
    wxWindow* Refused() const { return refused; }

  private:
    void onOK(wxCommandEvent& event);
    void label(Rows& rows, const char* text, bool top = false);
    void firstField(wxWindow* control);

    ItemForm& form;
    wxSizer* body;
    int minWidth;
    wxWindow* first = nullptr;
    bool showing = false;
    wxWindow* refused = nullptr;
    std::vector<std::function<void()>> shows;
    std::vector<std::function<bool(TypedText&)>> reads;
    std::vector<wxWindow*> utf8Texts;
};
