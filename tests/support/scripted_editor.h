// Item dialogs for tests: the node's form is filled by a script instead of a window.
// Each round the script edits the form and answers whether OK (true) or Cancel was
// pressed; OK runs the form's checks, and a check that keeps the dialog open starts
// the next round.
#pragma once

#include "app/forms/dlg_prefs.h"
#include "app/forms/dlg_sync_account.h"
#include "app/forms/form_for_node.h"
#include "platform/editor.h"
#include "sync/password_store.h"

#include <functional>

class ScriptedEditor : public NodeEditor {
  public:
    using Script = std::function<bool(ItemForm& form, int round)>;

    ScriptedEditor() { CurrentNodeEditor() = this; }
    ~ScriptedEditor() override { CurrentNodeEditor() = nullptr; }

    bool EditNode(VNode& node) override {
        std::unique_ptr<ItemForm> form = MakeForm(node);
        return form && run(*form);
    }
    bool EditPreferences(VCollection& collection) override {
        DlgPrefs form(collection);
        return run(form);
    }
    bool EditSyncAccount(VCollection& collection) override {
        DlgSyncAccount form(collection, CurrentPasswordStore());
        return run(form);
    }

    Script script = [](ItemForm&, int) { return true; };
    int rounds = 0; // how often the dialog was shown, in all

  private:
    bool run(ItemForm& form) {
        for (int round = 0; round < 10; ++round) {
            ++rounds;
            if (!script(form, round)) return false;
            switch (form.Validate()) {
            case FormOutcome::Accept:
                form.Store();
                return true;
            case FormOutcome::Cancel:
                return false;
            case FormOutcome::Stay:
                break;
            }
        }
        return false;
    }
};
