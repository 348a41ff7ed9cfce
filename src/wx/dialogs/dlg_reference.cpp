// "Fact" and "Location (file/directory/web)": a one-line text over a description of
// several lines.
#include "app/forms/dlg_reference.h"
#include "wx/dialogs/form_dialog.h"
#include "wx/dialogs/item_dialogs.h"

namespace {

class ReferenceDialog : public FormDialog {
  public:
    ReferenceDialog(wxWindow* parent, ItemForm& form, const char* title, const char* label,
                    qstring& line, qstring& description)
        : FormDialog(parent, title, 393, form) {
        Rows rows = AddRows(Body());
        Text(rows, label, line);
        MultiLine(rows, "Description", description);
        Finish();
    }
};

} // namespace

std::unique_ptr<FormDialog> MakeFactDialog(wxWindow* parent, DlgFact& form) {
    return std::make_unique<ReferenceDialog>(parent, form, "Fact", "Name", form.name,
                                             form.description);
}

std::unique_ptr<FormDialog> MakeLocationDialog(wxWindow* parent, DlgURL& form) {
    return std::make_unique<ReferenceDialog>(parent, form, "Location (file/directory/web)",
                                             "Location URL", form.url, form.description);
}
