#include "wx/dialogs/node_editor.h"

#include "app/forms/dlg_agreement.h"
#include "app/forms/dlg_commitem.h"
#include "app/forms/dlg_group.h"
#include "app/forms/dlg_prefs.h"
#include "app/forms/dlg_reference.h"
#include "app/forms/dlg_resource.h"
#include "app/forms/dlg_sync_account.h"
#include "app/forms/dlg_taskfull.h"
#include "app/forms/dlg_todo.h"
#include "app/forms/form_for_node.h"
#include "model/vnode.h"
#include "sync/password_store.h"
#include "wx/dialogs/form_dialog.h"
#include "wx/dialogs/item_dialogs.h"

#include <wx/app.h>

namespace {

using Builder = std::unique_ptr<FormDialog> (*)(wxWindow*, ItemForm&);

template <class Form, std::unique_ptr<FormDialog> (*make)(wxWindow*, Form&)>
std::unique_ptr<FormDialog> build(wxWindow* parent, ItemForm& form) {
    return make(parent, static_cast<Form&>(form));
}

struct DialogWindow {
    ItemDialog dialog;
    Builder build;
};

const DialogWindow DIALOGS[] = {
    {ItemDialog::Todo, build<CDlgTodo, MakeTodoDialog>},
    {ItemDialog::Action, build<CDlgTaskFull, MakeTaskDialog>},
    {ItemDialog::Agreement, build<DlgAgreement, MakeAgreementDialog>},
    {ItemDialog::Call, build<CommItemForm, MakeCommItemDialog>},
    {ItemDialog::Mail, build<CommItemForm, MakeCommItemDialog>},
    {ItemDialog::Pay, build<CommItemForm, MakeCommItemDialog>},
    {ItemDialog::Contact, build<CDlgResource, MakeContactDialog>},
    {ItemDialog::Fact, build<DlgFact, MakeFactDialog>},
    {ItemDialog::Location, build<DlgURL, MakeLocationDialog>},
    {ItemDialog::Folder, build<DlgGroup, MakeFolderDialog>},
};

bool run(FormDialog& dialog, ItemForm& form) {
    if (dialog.ShowModal() != wxID_OK) return false;
    form.Store();
    return true;
}

wxWindow* owner() {
    return wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
}

} // namespace

bool WxNodeEditor::EditNode(VNode& node) {
    std::unique_ptr<ItemForm> form = MakeForm(node);
    for (const DialogWindow& entry : DIALOGS)
        if (form && entry.dialog == node.Dialog()) return run(*entry.build(owner(), *form), *form);
    return false;
}

bool WxNodeEditor::EditPreferences(VCollection& collection) {
    DlgPrefs form(collection);
    return run(*MakePreferencesDialog(owner(), form), form);
}

bool WxNodeEditor::EditSyncAccount(VCollection& collection) {
    DlgSyncAccount form(collection, CurrentPasswordStore());
    return run(*MakeSyncAccountDialog(owner(), form), form);
}
