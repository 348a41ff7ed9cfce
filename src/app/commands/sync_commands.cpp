// The document's sync with a calendar server: its account (a dialog) and Sync now, which
// starts the window's sync; the result is applied later, as a step of its own.
#include "app/commands/command_groups.h"

#include "app/commands/command_ui.h"
#include "app/forms/dlg_sync_account.h"
#include "app/window_sync.h"
#include "platform/command_ids.h"

namespace {

unsigned account(CommandContext& c) {
    return RunSyncAccount(*c.document) ? CHANGED_ITEMS : CHANGED_NOTHING;
}

bool hasSync(const CommandContext& c) {
    return HasDocument(c) && HasUI(c) && c.ui->Sync();
}

bool idle(const CommandContext& c) {
    return !c.ui->Sync()->Running();
}

unsigned syncNow(CommandContext& c) {
    c.ui->Sync()->SyncNow();
    return CHANGED_NOTHING;
}

} // namespace

std::vector<CommandEntry> SyncCommands() {
    return {
        {.id = CMD_SYNC_ACCOUNT,
         .run = account,
         .enabled = HasDocument,
         .caption = "Account...",
         .description = "Choose the calendar server this document syncs with",
         .undoName = "Sync account"},
        {.id = CMD_SYNC_NOW,
         .run = syncNow,
         .enabled = hasSync,
         .usable = idle,
         .caption = "Sync now",
         .description = "Bring this document and its calendar server up to date with each other"},
    };
}
