#include "app/forms/dlg_reference.h"

#include "model/vreference.h"

DlgFact::DlgFact(VFact& source)
    : name(source.name), description(source.description), fact(source) {}

void DlgFact::Store() {
    fact.name = name;
    fact.description = description;
}

DlgURL::DlgURL(VURL& source) : url(source.url), description(source.description), location(source) {}

void DlgURL::Store() {
    location.url = url;
    location.description = description;
}
