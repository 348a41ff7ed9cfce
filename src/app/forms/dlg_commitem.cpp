#include "app/forms/dlg_commitem.h"

#include "model/vcommitem.h"
#include "model/vschedule.h"

CommItemForm::CommItemForm(VCommItem& source)
    : who(source.who), reason(source.reason), detail(source.detail), priority(source.priority, 4),
      done(source.flags & DONE), item(source) {}

void CommItemForm::Store() {
    item.who = who;
    item.reason = reason;
    item.detail = detail;
    item.priority = priority.Value();
    SetItemDone(*item.collection, &item, done);
}

DlgCall::DlgCall(VCall& call) : CommItemForm(call) {}

DlgMail::DlgMail(VMail& mail) : CommItemForm(mail) {}

DlgPay::DlgPay(VPay& source) : CommItemForm(source), account(source.account), pay(source) {}

void DlgPay::Store() {
    CommItemForm::Store();
    pay.account = account;
}
