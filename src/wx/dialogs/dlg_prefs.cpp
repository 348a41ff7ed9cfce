// "Preferences": the date format of the document's texts.
#include "app/forms/dlg_prefs.h"
#include "wx/dialogs/form_dialog.h"
#include "wx/dialogs/item_dialogs.h"

namespace {

class PreferencesDialog : public FormDialog {
  public:
    PreferencesDialog(wxWindow* parent, DlgPrefs& form)
        : FormDialog(parent, "Preferences", 233, form) {
        Rows rows = AddRows(Body(), "Layout");
        List(rows, "Date format",
             std::vector<std::string>(DlgPrefs::DATE_FORMATS.begin(), DlgPrefs::DATE_FORMATS.end()),
             form.dateFormat);
        Finish();
    }
};

} // namespace

std::unique_ptr<FormDialog> MakePreferencesDialog(wxWindow* parent, DlgPrefs& form) {
    return std::make_unique<PreferencesDialog>(parent, form);
}
