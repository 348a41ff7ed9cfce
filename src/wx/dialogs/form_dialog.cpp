#include "wx/dialogs/form_dialog.h"

#include "app/forms/form_fields.h"
#include "foundation/single_line.h"
#include "wx/text_convert.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

// Every text field of the dialog, however deep in boxes.
void forEachTextField(wxWindow* window, const std::function<void(wxTextCtrl&)>& visit) {
    for (wxWindow* child : window->GetChildren()) {
        if (auto* text = dynamic_cast<wxTextCtrl*>(child)) visit(*text);
        forEachTextField(child, visit);
    }
}

} // namespace

FormDialog::FormDialog(wxWindow* parent, const char* title, int templateWidth, ItemForm& itemForm)
    : wxDialog(parent, wxID_ANY, ToWx(title), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      form(itemForm), body(new wxBoxSizer(wxVERTICAL)) {
    minWidth = ConvertDialogToPixels(wxSize(templateWidth, 0)).x;
    Bind(wxEVT_BUTTON, &FormDialog::onOK, this, wxID_OK);
    Bind(wxEVT_INIT_DIALOG, [this](wxInitDialogEvent&) {
        ShowControls();
        // Some GTK controls (a drop-down list) take the focus only once they are on screen.
        if (first) first->SetFocus();
        CallAfter([this] {
            if (first) first->SetFocus();
        });
    });
}

FormDialog::Rows FormDialog::AddRows(wxSizer* into, const char* boxCaption) {
    Rows rows{this, new wxFlexGridSizer(2, FromDIP(6), FromDIP(8)), into};
    rows.grid->AddGrowableCol(1);
    if (boxCaption) {
        auto* box = new wxStaticBoxSizer(wxVERTICAL, this, ToWx(boxCaption));
        into->Add(box, wxSizerFlags().Expand().Border(wxALL, FromDIP(4)));
        rows.parent = box->GetStaticBox();
        rows.outer = box;
    }
    rows.outer->Add(rows.grid, wxSizerFlags().Expand().Border(wxALL, FromDIP(4)));
    return rows;
}

void FormDialog::label(Rows& rows, const char* text, bool top) {
    rows.grid->Add(new wxStaticText(rows.parent, wxID_ANY, ToWx(text ? text : "")),
                   top ? wxSizerFlags().Top().Border(wxTOP, FromDIP(4))
                       : wxSizerFlags().CenterVertical());
}

void FormDialog::firstField(wxWindow* control) {
    if (!first) first = control;
}

void FormDialog::Tie(std::function<void()> show, std::function<bool(TypedText&)> read) {
    shows.push_back(std::move(show));
    reads.push_back(std::move(read));
}

wxTextCtrl* FormDialog::Text(Rows& rows, const char* caption, std::function<qstring()> shown,
                             std::function<bool(const qstring&)> take) {
    label(rows, caption);
    auto* text = new wxTextCtrl(rows.parent, wxID_ANY);
    rows.grid->Add(text, wxSizerFlags(1).Expand());
    firstField(text);
    // A text the user left as it was shown is not read back: its field keeps its bytes,
    // unless the document changed its encoding meanwhile (then they are read anew).
    struct Filled {
        wxString text;
        TextEncoding encoding;
    };
    auto filled = std::make_shared<Filled>();
    Tie(
        [text, shown, filled] {
            *filled = {ToWx(shown()), ShownEncoding()};
            text->ChangeValue(filled->text);
        },
        [this, text, shown, take, filled](TypedText& typed) {
            wxString value = text->GetValue();
            if (value == filled->text && ShownEncoding() == filled->encoding) return true;
            if (take(SingleLine(typed(value, shown().Text())))) return true;
            // The refused text stays, selected, for the user to mend.
            refused = text;
            text->SetFocus();
            text->SelectAll();
            return false;
        });
    return text;
}

wxTextCtrl* FormDialog::Text(Rows& rows, const char* caption, qstring& field) {
    return Text(
        rows, caption, [&field] { return field; },
        [&field](const qstring& typed) {
            field = typed;
            return true;
        });
}

wxTextCtrl* FormDialog::MultiLine(Rows& rows, const char* caption, qstring& field) {
    label(rows, caption, true);
    auto* text = new wxTextCtrl(rows.parent, wxID_ANY, "", wxDefaultPosition,
                                wxSize(-1, FromDIP(90)), wxTE_MULTILINE | wxVSCROLL);
    rows.grid->Add(text, wxSizerFlags(1).Expand());
    rows.grid->AddGrowableRow(rows.grid->GetEffectiveRowsCount() - 1, 1);
    if (wxSizerItem* item = rows.outer->GetItem(rows.grid)) item->SetProportion(1);
    firstField(text);
    Tie([text, &field] { text->ChangeValue(ToWx(LinesForEditing(field))); },
        [text, &field](TypedText& typed) {
            field = LinesFromEditing(typed.Bytes(text->GetValue(), LinesForEditing(field).c_str()),
                                     field);
            return true;
        });
    return text;
}

wxTextCtrl* FormDialog::Utf8Text(Rows& rows, const char* caption, std::string& field, long style) {
    label(rows, caption);
    auto* text = new wxTextCtrl(rows.parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, style);
    rows.grid->Add(text, wxSizerFlags(1).Expand());
    firstField(text);
    utf8Texts.push_back(text);
    Tie([text, &field] { text->ChangeValue(wxString::FromUTF8(field)); },
        [text, &field](TypedText&) {
            field = SingleLine(text->GetValue().utf8_str()).Text();
            return true;
        });
    return text;
}

wxCheckBox* FormDialog::Check(Rows& rows, const char* caption, const char* boxCaption,
                              bool& field) {
    label(rows, caption);
    auto* box = new wxCheckBox(rows.parent, wxID_ANY, ToWx(boxCaption));
    rows.grid->Add(box, wxSizerFlags().CenterVertical());
    firstField(box);
    // Like a text, a box the user left as it was filled is not read back: a typed date
    // that cleared "No date yet" in the form is not undone by the box read after it.
    auto filled = std::make_shared<bool>();
    Tie(
        [box, &field, filled] {
            *filled = field;
            box->SetValue(field);
        },
        [box, &field, filled](TypedText&) {
            if (box->GetValue() != *filled) field = box->GetValue();
            return true;
        });
    return box;
}

wxTextCtrl* FormDialog::Date(Rows& rows, const char* caption, QDate& field, int dateFormat) {
    return Text(
        rows, caption, [&field, dateFormat] { return DateFieldText(field, dateFormat); },
        [&field, dateFormat](const qstring& typed) {
            return TakeDateField(typed, dateFormat, field);
        });
}

wxChoice* FormDialog::List(Rows& rows, const char* caption, const std::vector<std::string>& entries,
                           std::function<int()> shown, std::function<void(int)> pick) {
    label(rows, caption);
    auto* list = new wxChoice(rows.parent, wxID_ANY);
    for (const std::string& entry : entries)
        list->Append(ToWx(entry));
    rows.grid->Add(list, wxSizerFlags(1).Expand());
    firstField(list);
    Tie([list, shown] { list->SetSelection(shown()); },
        [list, pick](TypedText&) {
            if (list->GetSelection() != wxNOT_FOUND) pick(list->GetSelection());
            return true;
        });
    return list;
}

wxChoice* FormDialog::List(Rows& rows, const char* caption, const std::vector<std::string>& entries,
                           int& position) {
    return List(
        rows, caption, entries, [&position] { return position; },
        [&position](int picked) { position = picked; });
}

wxChoice* FormDialog::List(Rows& rows, const char* caption, const std::vector<std::string>& entries,
                           StoredChoice& choice) {
    return List(
        rows, caption, entries, [&choice] { return choice.Shown(); },
        [&choice](int picked) { choice.Pick(picked); });
}

wxRadioBox* FormDialog::Radios(Rows& rows, const char* caption,
                               const std::vector<const char*>& captions, StoredChoice& choice,
                               int columns) {
    wxArrayString labels;
    for (const char* c : captions)
        labels.Add(ToWx(c));
    auto* radios = new wxRadioBox(rows.parent, wxID_ANY, ToWx(caption), wxDefaultPosition,
                                  wxDefaultSize, labels, columns, wxRA_SPECIFY_COLS);
    rows.outer->Add(radios, wxSizerFlags().Expand().Border(wxALL, FromDIP(4)));
    firstField(radios);
    Tie([radios, &choice] { radios->SetSelection(choice.Shown()); },
        [radios, &choice](TypedText&) {
            choice.Pick(radios->GetSelection());
            return true;
        });
    return radios;
}

void FormDialog::Finish() {
    auto* all = new wxBoxSizer(wxVERTICAL);
    all->Add(body, wxSizerFlags(1).Expand().Border(wxALL, FromDIP(6)));
    wxSizer* buttons = CreateStdDialogButtonSizer(wxOK | wxCANCEL);
    all->Add(buttons, wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(10)));
    SetSizer(all);
    all->SetMinSize(wxSize(minWidth, -1));
    all->SetSizeHints(this);
    if (auto* ok = dynamic_cast<wxButton*>(FindWindow(wxID_OK))) ok->SetDefault();
    CentreOnParent();
}

bool FormDialog::ReadControls() {
    refused = nullptr;
    TypedText typed;
    // A text the document cannot hold changes its encoding before any field is read, so
    // no field is read in the old one.
    forEachTextField(this, [this, &typed](wxTextCtrl& text) {
        if (std::find(utf8Texts.begin(), utf8Texts.end(), &text) == utf8Texts.end())
            typed.MakeRoomFor(text.GetValue());
    });
    for (auto& read : reads)
        if (!read(typed)) return false;
    return true;
}

void FormDialog::ShowControls() {
    showing = true;
    for (auto& show : shows)
        show();
    showing = false;
}

void FormDialog::onOK(wxCommandEvent&) {
    if (!ReadControls()) return;
    switch (form.Validate()) {
    case FormOutcome::Accept:
        EndModal(wxID_OK);
        break;
    case FormOutcome::Cancel:
        EndModal(wxID_CANCEL);
        break;
    case FormOutcome::Stay:
        ShowControls();
        if (first) first->SetFocus();
        break;
    }
}
