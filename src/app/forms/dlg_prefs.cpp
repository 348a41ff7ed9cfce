#include "app/forms/dlg_prefs.h"

#include "app/skedradoc.h"
#include "model/vcollection.h"
#include "platform/editor.h"

const std::array<const char*, 3> DlgPrefs::DATE_FORMATS = {
    "DD-MMM-YY (25-Jun-10)",
    "DD-MM-YYYY (Europe)",
    "MM-DD-YYYY (US)",
};

DlgPrefs::DlgPrefs(VCollection& source)
    : dateFormat(source.dateFormat, (int)DATE_FORMATS.size()), collection(source) {}

void DlgPrefs::Store() {
    collection.dateFormat = dateFormat.Value();
}

bool RunPreferences(CSkedraDoc& document) {
    NodeEditor* editor = CurrentNodeEditor();
    VCollection* collection = document.Collection();
    if (!editor || !collection || !editor->EditPreferences(*collection)) return false;
    document.SetGlobalInt("dateformat", collection->dateFormat);
    return true;
}
