// "To Call", "To Mail" and "To Pay": one layout, told apart by their captions.
#include "app/forms/dlg_commitem.h"
#include "wx/dialogs/form_dialog.h"
#include "wx/dialogs/item_dialogs.h"

namespace {

struct CommItemLayout {
    const char* title;
    const char* who;
    const char* detail;
};

const CommItemLayout CALL = {"To Call", "Call who", "Phone number"};
const CommItemLayout MAIL = {"To Mail", "Mail who", "Email address"};
const CommItemLayout PAY = {"To Pay", "Pay who", "Amount"};

class CommItemDialog : public FormDialog {
  public:
    CommItemDialog(wxWindow* parent, CommItemForm& form, const CommItemLayout& layout,
                   qstring* account)
        : FormDialog(parent, layout.title, 393, form) {
        Rows rows = AddRows(Body());
        Text(rows, layout.who, form.who);
        Text(rows, "Reason", form.reason);
        Text(rows, layout.detail, form.detail);
        if (account) Text(rows, "Account number", *account);
        Radios(rows, "Priority", {"&Low", "&Medium", "&High", "&Today"}, form.priority, 4);
        Rows when = AddRows(Body(), "When?");
        Schedule(when, form.schedule);
        Rows properties = AddRows(Body());
        Check(properties, "Properties", "&Done", form.done);
        Finish();
    }
};

} // namespace

std::unique_ptr<FormDialog> MakeCommItemDialog(wxWindow* parent, CommItemForm& form) {
    if (auto* pay = dynamic_cast<DlgPay*>(&form))
        return std::make_unique<CommItemDialog>(parent, form, PAY, &pay->account);
    const CommItemLayout& layout = dynamic_cast<DlgMail*>(&form) ? MAIL : CALL;
    return std::make_unique<CommItemDialog>(parent, form, layout, nullptr);
}
