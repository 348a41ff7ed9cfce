#include "app/forms/dlg_agreement.h"

#include "app/forms/form_fields.h"
#include "model/vcollection.h"
#include "model/vreference.h"
#include "model/vschedule.h"

DlgAgreement::DlgAgreement(VAgreement& source)
    : withWho(source.withWho), agreement(source.agreement), agreedOn(PickerDate(source.agreedOn)),
      obsolete(source.flags & DONE), dateFormat(source.collection->dateFormat),
      schedule(*source.collection, source), item(source) {}

FormOutcome DlgAgreement::Validate() {
    if (withWho.IsEmpty()) return AskForMissingField("Please enter a person's name.");
    return schedule.Validate();
}

void DlgAgreement::Store() {
    item.withWho = withWho;
    item.agreement = agreement;
    item.agreedOn = PickerText(agreedOn);
    schedule.Store();
    SetItemDone(*item.collection, &item, obsolete);
}
