// "Action": what, who, when and progress. The dates, the duration and the completion
// follow each other as the user changes them.
#include "app/forms/dlg_taskfull.h"
#include "wx/dialogs/form_dialog.h"
#include "wx/dialogs/item_dialogs.h"
#include "wx/text_convert.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <functional>
#include <string>

namespace {

class TaskDialog : public FormDialog {
  public:
    TaskDialog(wxWindow* parent, CDlgTaskFull& taskForm)
        : FormDialog(parent, "Action", 365, taskForm), form(taskForm) {
        Rows what = AddRows(Body(), "What?");
        Text(what, "To do", form.what);
        Text(what, "Hours of work", form.hoursOfWork);
        Radios(what, "Priority", {"Low", "Medium", "High"}, form.priority, 3);

        Rows who = AddRows(Body(), "Who?");
        List(who, "Assigned to", form.Contacts().Labels(), form.assigned[0]);
        List(who, "and", form.Contacts().Labels(), form.assigned[1]);

        Rows when = AddRows(Body(), "When?");
        // The dates follow each other when the user leaves a field, never while typing.
        wxTextCtrl* start = Text(
            when, "Start date", [this] { return form.DateShown(form.start); },
            [this](const qstring& typed) { return form.StartTyped(typed); });
        wxTextCtrl* end = Text(
            when, "End date", [this] { return form.DateShown(form.end); },
            [this](const qstring& typed) { return form.EndTyped(typed); });
        duration = Text(
            when, "Duration (in days)",
            [this] { return qstring(std::to_string(form.duration).c_str()); },
            [this](const qstring& typed) { return form.ReadDuration(typed); });
        Check(when, "or", "&No date yet", form.noDate);
        Schedule(when, form.schedule);

        Rows progress = AddRows(Body(), "Progress");
        addSlider(progress);
        Check(progress, nullptr, "Done", form.done);
        Finish();

        for (wxTextCtrl* field : {start, end})
            whenLeft(field, [] {});
        whenLeft(duration, [this] { form.DurationLeft(); });
    }

  private:
    void addSlider(Rows& rows) {
        rows.grid->Add(new wxStaticText(rows.parent, wxID_ANY, "Completion"),
                       wxSizerFlags().CenterVertical());
        auto* line = new wxBoxSizer(wxHORIZONTAL);
        auto* slider = new wxSlider(rows.parent, wxID_ANY, 0, 0, 100);
        auto* label = new wxStaticText(rows.parent, wxID_ANY, "100%");
        label->SetMinSize(label->GetBestSize());
        line->Add(slider, wxSizerFlags(1).CenterVertical());
        line->Add(label, wxSizerFlags().CenterVertical().Border(wxLEFT, FromDIP(6)));
        rows.grid->Add(line, wxSizerFlags(1).Expand());
        slider->Bind(wxEVT_SLIDER, [this, label](wxCommandEvent& e) {
            form.SliderMoved(e.GetInt());
            label->SetLabel(ToWx(form.CompletionLabel()));
        });
        Tie(
            [this, slider, label] {
                slider->SetValue(form.completion);
                label->SetLabel(ToWx(form.CompletionLabel()));
            },
            [this, slider](TypedText&) {
                form.SliderMoved(slider->GetValue());
                return true;
            });
    }

    // Leaving the field reads the controls (a typed date does its part then), lets the form
    // work, and shows the result.
    void whenLeft(wxTextCtrl* field, std::function<void()> change) {
        field->Bind(wxEVT_KILL_FOCUS, [this, field, change](wxFocusEvent& e) {
            e.Skip();
            // Once the focus has settled: a message shown from inside the move would take
            // the focus, give it back and have the field left again, over and over.
            CallAfter([this, field, change] {
                wxWindow* focus = FindFocus();
                // Focus in another window (a message box) leaves no field; Cancel gives the
                // edit up; a closed dialog has nothing to read.
                if (!IsModal() || !IsActive() || !focus || wxGetTopLevelParent(focus) != this ||
                    focus->GetId() == wxID_CANCEL)
                    return;
                // While a refused text is being mended, only leaving it reads again.
                if (mending && mending != field) return;
                exchange(change);
            });
        });
    }

    // A refused text stays in its field, as typed, for the user to mend.
    void exchange(const std::function<void()>& change) {
        if (Showing() || exchanging) return;
        exchanging = true;
        mending = nullptr;
        if (ReadControls()) {
            change();
            ShowControls();
        } else {
            mending = Refused();
        }
        exchanging = false;
    }

    CDlgTaskFull& form;
    wxTextCtrl* duration = nullptr;
    bool exchanging = false;
    wxWindow* mending = nullptr;
};

} // namespace

std::unique_ptr<FormDialog> MakeTaskDialog(wxWindow* parent, CDlgTaskFull& form) {
    return std::make_unique<TaskDialog>(parent, form);
}
