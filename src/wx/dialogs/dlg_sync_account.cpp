// "Sync Account": the calendar server of the document, the user, the password (shown as
// dots) and how often the window syncs by itself.
#include "app/forms/dlg_sync_account.h"
#include "wx/dialogs/form_dialog.h"
#include "wx/dialogs/item_dialogs.h"

#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace {

class SyncAccountDialog : public FormDialog {
  public:
    SyncAccountDialog(wxWindow* parent, DlgSyncAccount& form)
        : FormDialog(parent, "Sync Account", 300, form) {
        Rows server = AddRows(Body(), "Calendar server");
        Utf8Text(server, "Calendar URL", form.url);
        Utf8Text(server, "User name", form.user);
        Utf8Text(server, "Password", form.password, wxTE_PASSWORD);
        Rows when = AddRows(Body(), "Sync by itself");
        Utf8Text(when, "Every (minutes)", form.minutes);
        when.outer->Add(new wxStaticText(when.parent, wxID_ANY,
                                         "0: only with File > Sync > Sync now. The password "
                                         "is kept in the desktop's password store."),
                        wxSizerFlags().Border(wxALL, FromDIP(4)));
        Finish();
    }
};

} // namespace

std::unique_ptr<FormDialog> MakeSyncAccountDialog(wxWindow* parent, DlgSyncAccount& form) {
    return std::make_unique<SyncAccountDialog>(parent, form);
}
