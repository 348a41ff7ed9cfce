// "Enter contact information": the person's names, initials, e-mail and whether external.
#include "app/forms/dlg_resource.h"
#include "wx/dialogs/form_dialog.h"
#include "wx/dialogs/item_dialogs.h"

namespace {

class ContactDialog : public FormDialog {
  public:
    ContactDialog(wxWindow* parent, CDlgResource& form)
        : FormDialog(parent, "Enter contact information", 229, form) {
        Rows rows = AddRows(Body());
        Text(rows, "First name", form.firstName);
        Text(rows, "Last name", form.lastName);
        Text(rows, "Initials", form.initials);
        Text(rows, "Email", form.email);
        Check(rows, "External?", "", form.external);
        Finish();
    }
};

} // namespace

std::unique_ptr<FormDialog> MakeContactDialog(wxWindow* parent, CDlgResource& form) {
    return std::make_unique<ContactDialog>(parent, form);
}
