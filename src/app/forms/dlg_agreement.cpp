#include "app/forms/dlg_agreement.h"

#include "app/forms/form_fields.h"
#include "model/vcollection.h"
#include "model/vreference.h"
#include "model/vschedule.h"

DlgAgreement::DlgAgreement(VAgreement& source)
    : withWho(source.withWho), agreement(source.agreement), agreedOn(PickerDate(source.agreedOn)),
      obsolete(source.flags & DONE), dateFormat(source.collection->dateFormat), item(source) {}

FormOutcome DlgAgreement::Validate() {
    if (withWho.IsNotEmpty()) return FormOutcome::Accept;
    return AskForMissingField("Please enter a person's name.");
}

void DlgAgreement::Store() {
    item.withWho = withWho;
    item.agreement = agreement;
    item.agreedOn = PickerText(agreedOn);
    SetItemDone(*item.collection, &item, obsolete);
}
