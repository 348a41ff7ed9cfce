// "Folder properties": the folder's name and the kind of item it holds by default.
#include "app/forms/dlg_group.h"
#include "wx/dialogs/form_dialog.h"
#include "wx/dialogs/item_dialogs.h"

namespace {

class FolderDialog : public FormDialog {
  public:
    FolderDialog(wxWindow* parent, DlgGroup& form)
        : FormDialog(parent, "Folder properties", 202, form) {
        Rows rows = AddRows(Body());
        Text(rows, "Folder &name", form.name);
        const auto& types = DlgGroup::TYPE_CAPTIONS;
        Radios(rows, "Default item type", {types.begin(), types.end()}, form.folderType, 1);
        Finish();
    }
};

} // namespace

std::unique_ptr<FormDialog> MakeFolderDialog(wxWindow* parent, DlgGroup& form) {
    return std::make_unique<FolderDialog>(parent, form);
}
