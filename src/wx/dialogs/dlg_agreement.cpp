// "Enter agreement": with whom, what, on which day, and whether it is obsolete.
#include "app/forms/dlg_agreement.h"
#include "wx/dialogs/form_dialog.h"
#include "wx/dialogs/item_dialogs.h"

namespace {

class AgreementDialog : public FormDialog {
  public:
    AgreementDialog(wxWindow* parent, DlgAgreement& form)
        : FormDialog(parent, "Enter agreement", 319, form) {
        Rows rows = AddRows(Body(), "For what");
        Text(rows, "With who", form.withWho);
        Text(rows, "Agreement", form.agreement);
        Date(rows, "Agreed on", form.agreedOn, form.dateFormat);
        Check(rows, nullptr, "Agreement obsolete", form.obsolete);
        Rows when = AddRows(Body(), "When?");
        Schedule(when, form.schedule);
        Finish();
    }
};

} // namespace

std::unique_ptr<FormDialog> MakeAgreementDialog(wxWindow* parent, DlgAgreement& form) {
    return std::make_unique<AgreementDialog>(parent, form);
}
