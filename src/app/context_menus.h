// The context menus of the item view and of the folder tree as data: their entries (by
// command; the words come from the command table), their default entry, which menu the
// right button opens, and which entries are greyed for the item a menu is for
// (`ContextEntryEnabled`). The windows only show a menu and send the chosen command.
#pragma once

#include "app/commands/item_states.h"
#include "app/ribbon_layout.h"

#include <vector>

struct RightClick;
class VNode;

enum class ContextMenuKind { Folder, Location, Todo, Action, PlainItem, AddNewItem, FolderTree };

struct ContextMenu {
    std::vector<MenuEntry> entries; // a caption "" is a separator
    int defaultCommand;             // the entry shown in bold
};

const ContextMenu& ContextMenuOf(ContextMenuKind kind);

// The menu for an item of the list; without one, the "Add new item..." menu.
ContextMenuKind ItemMenuKind(const VNode* item);

// The menu the right button opens on what it was pressed on (CSkedraView::OnRButtonDown):
// in the list the item's menu, or the "Add new item..." menu below the rows; in the
// calendar only an item has a menu (the action menu, whatever its kind); null for none.
const ContextMenu* ContextMenuFor(const RightClick& click);

// The folder tree's keys and the commands they send for the selected folder, from the
// commands' rows.
struct TreeKey {
    NamedKey key;
    int command;
};
const std::vector<TreeKey>& FolderTreeKeys();
