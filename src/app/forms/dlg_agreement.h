// DlgAgreement: the form of the agreement dialog "Enter agreement".
#pragma once

#include "app/forms/item_form.h"
#include "app/forms/schedule_form.h"
#include "foundation/date.h"
#include "foundation/qstring.h"

class VAgreement;

class DlgAgreement : public ItemForm {
  public:
    explicit DlgAgreement(VAgreement& agreement);
    // Nobody to agree with: asks, and OK returns to the dialog while Cancel gives up.
    FormOutcome Validate() override;
    void Store() override;

    qstring withWho;
    qstring agreement;
    QDate agreedOn; // typed and shown in the document's date format
    bool obsolete;
    int dateFormat; // the document's
    ScheduleForm schedule;

  private:
    VAgreement& item;
};
