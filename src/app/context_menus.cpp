#include "app/context_menus.h"

#include "app/commands/command_table.h"
#include "model/vcollection.h"
#include "platform/command_ids.h"
#include "views/skedraView.h"

namespace {

const MenuEntry SEPARATOR{"", 0, {}};

// An entry as its command's row words it in menus, with its key beside it (unless the
// words already name one after a tab).
MenuEntry entry(int command) {
    std::string caption = CommandMenuCaption(command);
    std::string key = caption.find('\t') == std::string::npos ? CommandKeyText(command) : "";
    return {caption, command, {}, "", key};
}

std::vector<MenuEntry> reschedule() {
    return {entry(CMD_LATER_1_DAY),   entry(CMD_LATER_1_WEEK),   entry(CMD_LATER_4_WEEKS),
            entry(CMD_EARLIER_1_DAY), entry(CMD_EARLIER_1_WEEK), entry(CMD_EARLIER_4_WEEKS)};
}

std::vector<MenuEntry> changeDuration() {
    return {entry(CMD_ADD_1_DAY),      entry(CMD_ADD_1_WEEK),      entry(CMD_ADD_1_MONTH),
            entry(CMD_SUBTRACT_1_DAY), entry(CMD_SUBTRACT_1_WEEK), entry(CMD_SUBTRACT_1_MONTH)};
}

ContextMenu folderMenu() {
    // On a folder the activity commands say that they reach everything below it.
    MenuEntry inactive = entry(CMD_MAKE_INACTIVE), active = entry(CMD_MAKE_ACTIVE);
    inactive.caption = "Make entire folder inactive";
    active.caption = "Make entire folder active";
    return {{entry(CMD_FOCUS),
             SEPARATOR,
             {"Reschedule all items", 0, reschedule()},
             {"Change duration of all items", 0, changeDuration()},
             SEPARATOR,
             inactive,
             active,
             SEPARATOR,
             entry(CMD_DELETE),
             entry(CMD_EDIT)},
            CMD_FOCUS};
}

ContextMenu locationMenu() {
    return {{entry(CMD_FOLLOW_LINK), SEPARATOR, entry(CMD_DELETE), SEPARATOR,
             entry(CMD_MAKE_ACTIVE), entry(CMD_MAKE_INACTIVE), SEPARATOR, entry(CMD_EDIT)},
            CMD_FOLLOW_LINK};
}

ContextMenu todoMenu() {
    return {{entry(CMD_WAITING), entry(CMD_NOT_WAITING), SEPARATOR, entry(CMD_MAKE_ACTIVE),
             entry(CMD_MAKE_INACTIVE), SEPARATOR, entry(CMD_DELETE), entry(CMD_EDIT)},
            CMD_EDIT};
}

ContextMenu actionMenu() {
    return {{{"Reschedule", 0, reschedule()},
             {"Change duration", 0, changeDuration()},
             SEPARATOR,
             entry(CMD_WAITING),
             entry(CMD_NOT_WAITING),
             SEPARATOR,
             entry(CMD_MAKE_ACTIVE),
             entry(CMD_MAKE_INACTIVE),
             SEPARATOR,
             entry(CMD_DELETE),
             entry(CMD_EDIT)},
            CMD_EDIT};
}

ContextMenu plainItemMenu() {
    return {{entry(CMD_MAKE_ACTIVE), entry(CMD_MAKE_INACTIVE), SEPARATOR, entry(CMD_DELETE),
             entry(CMD_EDIT)},
            CMD_EDIT};
}

ContextMenu addNewItemMenu() {
    return {{entry(CMD_ADD_TODO), entry(CMD_ADD_ACTION), entry(CMD_ADD_AGREEMENT),
             entry(CMD_ADD_LOCATION), entry(CMD_ADD_FACT), entry(CMD_ADD_CONTACT),
             entry(CMD_ADD_CALL), entry(CMD_ADD_MAIL), entry(CMD_ADD_PAYMENT), SEPARATOR,
             entry(CMD_ADD_FOLDER)},
            0};
}

ContextMenu folderTreeMenu() {
    return {{entry(CMD_TREE_FOCUS), entry(CMD_TREE_RENAME), entry(CMD_TREE_DELETE), SEPARATOR,
             entry(CMD_TREE_ADD_SUBFOLDER), entry(CMD_TREE_EXPORT), SEPARATOR,
             entry(CMD_TREE_MAKE_ACTIVE), entry(CMD_TREE_MAKE_INACTIVE), SEPARATOR,
             entry(CMD_TREE_EDIT), SEPARATOR, entry(CMD_TREE_ABOUT_FOLDERS)},
            CMD_TREE_FOCUS};
}

} // namespace
const ContextMenu& ContextMenuOf(ContextMenuKind kind) {
    static const ContextMenu menus[] = {folderMenu(),    locationMenu(),  todoMenu(),
                                        actionMenu(),    plainItemMenu(), addNewItemMenu(),
                                        folderTreeMenu()};
    return menus[(int)kind];
}

ContextMenuKind ItemMenuKind(const VNode* item) {
    if (!item) return ContextMenuKind::AddNewItem;
    switch (item->Dialog()) {
    case ItemDialog::Folder:
        return ContextMenuKind::Folder;
    case ItemDialog::Location:
        return ContextMenuKind::Location;
    case ItemDialog::Todo:
    case ItemDialog::Contact:
        return ContextMenuKind::Todo;
    case ItemDialog::Action:
        return ContextMenuKind::Action;
    default:
        return ContextMenuKind::PlainItem;
    }
}

const ContextMenu* ContextMenuFor(const RightClick& click) {
    if (click.inList) return &ContextMenuOf(ItemMenuKind(click.item));
    return click.item ? &ContextMenuOf(ContextMenuKind::Action) : nullptr;
}

const std::vector<TreeKey>& LeftViewKeys() {
    static const std::vector<TreeKey> keys = [] {
        std::vector<TreeKey> all;
        for (const CommandEntry& e : AllCommands())
            if (e.treeKey != NamedKey::None) all.push_back({e.treeKey, e.id});
        return all;
    }();
    return keys;
}
