// Commands on the current folder and the folder tree. The tree's own act on the folder
// its context menu was opened for (or the selected one, for its keys), and each first
// selects that folder, which makes it the item view's current folder.
#include "app/commands/command_groups.h"

#include "app/commands/command_ui.h"
#include "app/commands/item_changes.h"
#include "app/commands/item_states.h"
#include "app/skedraDoc.h"
#include "model/vcollection.h"
#include "platform/command_ids.h"
#include "platform/document_host.h"
#include "platform/ui.h"
#include "views/LeftView.h"
#include "views/view_document.h"

#include <filesystem>

namespace {

// The folder an export was saved to last, in the settings.
constexpr const char* EXPORT_FOLDER_SETTING = "export_folder";

bool hasTree(const CommandContext& c) {
    return HasItemView(c) && c.tree != nullptr;
}

// The folder the command is for, selected; none when the menu's folder is gone.
VNode* chosenFolder(CommandContext& c) {
    VNode* folder = c.tree->ContextFolder();
    if (folder) c.tree->SelectNode(folder);
    return folder;
}

template <int COMMAND> bool offeredForFolder(const CommandContext& c) {
    VNode* folder = c.tree->ContextFolder();
    return folder && ContextEntryEnabled(COMMAND, *folder);
}

bool isRoot(const VNode* folder) {
    return folder == folder->collection->root;
}

unsigned focusFolder(CommandContext& c) {
    return chosenFolder(c) ? CHANGED_VIEW : CHANGED_NOTHING;
}

unsigned renameFolder(CommandContext& c) {
    if (VNode* folder = chosenFolder(c)) c.tree->StartRename(folder);
    return CHANGED_NOTHING; // the rename itself ends in the tree's label edit
}

unsigned deleteFolder(CommandContext& c) {
    VNode* folder = chosenFolder(c);
    if (!folder) return CHANGED_NOTHING;
    if (isRoot(folder)) {
        ShowMessage("You can't delete the top folder.", PROGRAM_CAPTION, MsgButtons::OK);
        return CHANGED_NOTHING;
    }
    VNode* parent = folder->parent;
    unsigned changed = DeleteWithQuestion(c, folder);
    if (changed != CHANGED_NOTHING) c.tree->SelectNode(parent);
    return changed;
}

unsigned addSubfolder(CommandContext& c) {
    return chosenFolder(c) ? AddFolder(c) : CHANGED_NOTHING;
}

// From the window the user chooses where the page goes, starting in the folder chosen the
// last time; without a window it is export.htm in the current folder.
unsigned exportShownItems(CommandContext& c) {
    if (!c.ui) {
        c.view->ExportFolder();
        return CHANGED_NOTHING;
    }
    qstring lastFolder;
    if (c.document) c.document->Settings().GetGlobalString(EXPORT_FOLDER_SETTING, lastFolder, "");
    std::string path = c.ui->ChooseExportFile(lastFolder.Text(), VCollection::EXPORT_FILE);
    if (path.empty()) return CHANGED_NOTHING;
    c.view->ExportFolder(path.c_str());
    if (!c.document) return CHANGED_NOTHING;
    c.document->Settings().SetGlobalString(
        EXPORT_FOLDER_SETTING, std::filesystem::path(path).parent_path().string().c_str());
    return CHANGED_SETTINGS;
}

unsigned exportFolder(CommandContext& c) {
    if (!chosenFolder(c)) return CHANGED_NOTHING;
    return exportShownItems(c) | CHANGED_VIEW;
}

template <bool ACTIVE> unsigned setFolderActive(CommandContext& c) {
    VNode* folder = chosenFolder(c);
    return folder ? SetActive(c, folder, ACTIVE) : CHANGED_NOTHING;
}

unsigned editFolder(CommandContext& c) {
    VNode* folder = chosenFolder(c);
    if (!folder || isRoot(folder) || !folder->Edit()) return CHANGED_NOTHING;
    c.view->document->ItemEdited(folder);
    c.tree->SelectNode(folder); // the refilled tree shows it selected again
    return CHANGED_ITEMS;
}

} // namespace

std::vector<CommandEntry> FolderCommands() {
    return {
        {.id = CMD_EXPORT_HTML,
         .run = exportShownItems,
         .enabled = HasView,
         .caption = "Export HTML",
         .icon = "file_save_as"},
        {.id = CMD_REFILL_TREE,
         .run = [](CommandContext& c) -> unsigned {
             if (DocumentHost* host = c.document->Host()) host->RefillTree();
             return CHANGED_NOTHING;
         },
         .enabled = HasDocument,
         .keys = {{.key = NamedKey::F5}}},
        {.id = CMD_TREE_FOCUS,
         .run = focusFolder,
         .enabled = hasTree,
         .usable = offeredForFolder<CMD_TREE_FOCUS>,
         .caption = "Focus"},
        {.id = CMD_TREE_RENAME,
         .run = renameFolder,
         .enabled = hasTree,
         .usable = offeredForFolder<CMD_TREE_RENAME>,
         .caption = "Rename\tF2",
         .treeKey = NamedKey::F2},
        {.id = CMD_TREE_DELETE,
         .run = deleteFolder,
         .enabled = hasTree,
         .usable = offeredForFolder<CMD_TREE_DELETE>,
         .caption = "De&lete folder...",
         .treeKey = NamedKey::Delete},
        {.id = CMD_TREE_ADD_SUBFOLDER,
         .run = addSubfolder,
         .enabled = hasTree,
         .usable = offeredForFolder<CMD_TREE_ADD_SUBFOLDER>,
         .caption = "Add subfolder..."},
        {.id = CMD_TREE_EXPORT,
         .run = exportFolder,
         .enabled = hasTree,
         .usable = offeredForFolder<CMD_TREE_EXPORT>,
         .caption = "Export as HTML"},
        {.id = CMD_TREE_MAKE_ACTIVE,
         .run = setFolderActive<true>,
         .enabled = hasTree,
         .usable = offeredForFolder<CMD_TREE_MAKE_ACTIVE>,
         .caption = "Make active"},
        {.id = CMD_TREE_MAKE_INACTIVE,
         .run = setFolderActive<false>,
         .enabled = hasTree,
         .usable = offeredForFolder<CMD_TREE_MAKE_INACTIVE>,
         .caption = "Make inactive"},
        {.id = CMD_TREE_EDIT,
         .run = editFolder,
         .enabled = hasTree,
         .usable = offeredForFolder<CMD_TREE_EDIT>,
         .caption = "&Edit..."},
    };
}
