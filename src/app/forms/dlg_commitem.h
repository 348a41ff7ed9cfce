// DlgCall, DlgMail and DlgPay: the forms of the "To Call", "To Mail" and "To Pay"
// dialogs, which share one layout (the pay dialog adds the account number).
#pragma once

#include "app/forms/item_form.h"
#include "app/forms/schedule_form.h"
#include "foundation/qstring.h"

class VCommItem;
class VCall;
class VMail;
class VPay;

class CommItemForm : public ItemForm {
  public:
    FormOutcome Validate() override { return schedule.Validate(); }
    void Store() override;

    qstring who;
    qstring reason;
    qstring detail; // phone number, e-mail address or amount, as typed
    StoredChoice priority;
    bool done;
    ScheduleForm schedule;

  protected:
    explicit CommItemForm(VCommItem& item);
    VCommItem& item;
};

class DlgCall : public CommItemForm {
  public:
    explicit DlgCall(VCall& call);
};

class DlgMail : public CommItemForm {
  public:
    explicit DlgMail(VMail& mail);
};

class DlgPay : public CommItemForm {
  public:
    explicit DlgPay(VPay& pay);
    void Store() override;

    qstring account;

  private:
    VPay& pay;
};
