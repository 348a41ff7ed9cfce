#include "wx/dialogs/node_editor.h"

#include "app/forms/dlg_agreement.h"
#include "app/forms/dlg_commitem.h"
#include "app/forms/dlg_group.h"
#include "app/forms/dlg_prefs.h"
#include "app/forms/dlg_reference.h"
#include "app/forms/dlg_resource.h"
#include "app/forms/dlg_taskfull.h"
#include "app/forms/dlg_todo.h"
#include "app/forms/form_for_node.h"
#include "wx/dialogs/form_dialog.h"
#include "wx/dialogs/item_dialogs.h"

#include <wx/app.h>

namespace {

using Builder = std::unique_ptr<FormDialog> (*)(wxWindow*, ItemForm&);

template <class Form, std::unique_ptr<FormDialog> (*make)(wxWindow*, Form&)>
std::unique_ptr<FormDialog> build(wxWindow* parent, ItemForm& form) {
    return make(parent, static_cast<Form&>(form));
}

struct KindDialog {
    DialogKind kind;
    Builder build;
};

const KindDialog DIALOGS[] = {
    {DialogKind::Todo, build<CDlgTodo, MakeTodoDialog>},
    {DialogKind::Task, build<CDlgTaskFull, MakeTaskDialog>},
    {DialogKind::Agreement, build<DlgAgreement, MakeAgreementDialog>},
    {DialogKind::Call, build<CommItemForm, MakeCommItemDialog>},
    {DialogKind::Mail, build<CommItemForm, MakeCommItemDialog>},
    {DialogKind::Pay, build<CommItemForm, MakeCommItemDialog>},
    {DialogKind::Contact, build<CDlgResource, MakeContactDialog>},
    {DialogKind::Fact, build<DlgFact, MakeFactDialog>},
    {DialogKind::URL, build<DlgURL, MakeLocationDialog>},
    {DialogKind::Group, build<DlgGroup, MakeFolderDialog>},
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
    DialogKind kind = DialogFor(node);
    for (const KindDialog& entry : DIALOGS)
        if (entry.kind == kind) {
            std::unique_ptr<ItemForm> form = MakeForm(node);
            std::unique_ptr<FormDialog> dialog = entry.build(owner(), *form);
            return run(*dialog, *form);
        }
    return false;
}

bool WxNodeEditor::EditPreferences(VCollection& collection) {
    DlgPrefs form(collection);
    return run(*MakePreferencesDialog(owner(), form), form);
}
