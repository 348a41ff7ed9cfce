// The item dialogs, Preferences and the sync account, each built on its form.
#pragma once

#include <memory>

class FormDialog;
class ItemForm;
class wxWindow;
class CDlgTodo;
class CDlgTaskFull;
class DlgAgreement;
class CommItemForm;
class CDlgResource;
class DlgFact;
class DlgURL;
class DlgGroup;
class DlgPrefs;
class DlgSyncAccount;

std::unique_ptr<FormDialog> MakeTodoDialog(wxWindow* parent, CDlgTodo& form);
std::unique_ptr<FormDialog> MakeTaskDialog(wxWindow* parent, CDlgTaskFull& form);
std::unique_ptr<FormDialog> MakeAgreementDialog(wxWindow* parent, DlgAgreement& form);
// The "To Call", "To Mail" and "To Pay" dialogs, by the form's kind.
std::unique_ptr<FormDialog> MakeCommItemDialog(wxWindow* parent, CommItemForm& form);
std::unique_ptr<FormDialog> MakeContactDialog(wxWindow* parent, CDlgResource& form);
std::unique_ptr<FormDialog> MakeFactDialog(wxWindow* parent, DlgFact& form);
std::unique_ptr<FormDialog> MakeLocationDialog(wxWindow* parent, DlgURL& form);
std::unique_ptr<FormDialog> MakeFolderDialog(wxWindow* parent, DlgGroup& form);
std::unique_ptr<FormDialog> MakePreferencesDialog(wxWindow* parent, DlgPrefs& form);
std::unique_ptr<FormDialog> MakeSyncAccountDialog(wxWindow* parent, DlgSyncAccount& form);
