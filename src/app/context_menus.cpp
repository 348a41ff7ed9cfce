#include "app/context_menus.h"

#include "app/commands/command_ids.h"
#include "model/vcollection.h"
#include "views/skedraView.h"

namespace {

const MenuEntry SEPARATOR{"", 0, {}};

std::vector<MenuEntry> reschedule() {
    return {
        {"1 day later", CMD_LATER_1_DAY, {}},       {"1 week later", CMD_LATER_1_WEEK, {}},
        {"4 weeks later", CMD_LATER_4_WEEKS, {}},   {"1 day earlier", CMD_EARLIER_1_DAY, {}},
        {"1 week earlier", CMD_EARLIER_1_WEEK, {}}, {"4 weeks earlier", CMD_EARLIER_4_WEEKS, {}}};
}

std::vector<MenuEntry> changeDuration() {
    return {{"Add 1 day", CMD_ADD_1_DAY, {}},
            {"Add 1 week", CMD_ADD_1_WEEK, {}},
            {"Add 1 month", CMD_ADD_1_MONTH, {}},
            {"Subtract 1 day", CMD_SUBTRACT_1_DAY, {}},
            {"Subtract 1 week", CMD_SUBTRACT_1_WEEK, {}},
            {"Subtract 1 month", CMD_SUBTRACT_1_MONTH, {}}};
}

const MenuEntry EDIT{"&Edit...\tF2", CMD_EDIT, {}};
const MenuEntry DELETE{"De&lete...", CMD_DELETE, {}};
const MenuEntry MAKE_ACTIVE{"Make active", CMD_MAKE_ACTIVE, {}};
const MenuEntry MAKE_INACTIVE{"Make inactive", CMD_MAKE_INACTIVE, {}};
const MenuEntry WAIT{"Waiting for this", CMD_WAITING, {}};
const MenuEntry NOT_WAIT{"Not waiting for this", CMD_NOT_WAITING, {}};

ContextMenu folderMenu() {
    return {{{"Focus", CMD_FOCUS, {}},
             SEPARATOR,
             {"Reschedule all items", 0, reschedule()},
             {"Change duration of all items", 0, changeDuration()},
             SEPARATOR,
             {"Make entire folder inactive", CMD_MAKE_INACTIVE, {}},
             {"Make entire folder active", CMD_MAKE_ACTIVE, {}},
             SEPARATOR,
             DELETE,
             EDIT},
            CMD_FOCUS};
}

ContextMenu locationMenu() {
    return {{{"Follow link...", CMD_FOLLOW_LINK, {}},
             SEPARATOR,
             DELETE,
             SEPARATOR,
             MAKE_ACTIVE,
             MAKE_INACTIVE,
             SEPARATOR,
             EDIT},
            CMD_FOLLOW_LINK};
}

ContextMenu todoMenu() {
    return {{WAIT, NOT_WAIT, SEPARATOR, MAKE_ACTIVE, MAKE_INACTIVE, SEPARATOR, DELETE, EDIT},
            CMD_EDIT};
}

ContextMenu actionMenu() {
    return {{{"Reschedule", 0, reschedule()},
             {"Change duration", 0, changeDuration()},
             SEPARATOR,
             WAIT,
             NOT_WAIT,
             SEPARATOR,
             MAKE_ACTIVE,
             MAKE_INACTIVE,
             SEPARATOR,
             DELETE,
             EDIT},
            CMD_EDIT};
}

ContextMenu plainItemMenu() {
    return {{MAKE_ACTIVE, MAKE_INACTIVE, SEPARATOR, DELETE, EDIT}, CMD_EDIT};
}

ContextMenu addNewItemMenu() {
    return {{{"Todo", CMD_ADD_TODO, {}},
             {"Action (with dates)", CMD_ADD_ACTION, {}},
             {"Agreement", CMD_ADD_AGREEMENT, {}},
             {"Location", CMD_ADD_LOCATION, {}},
             {"Fact", CMD_ADD_FACT, {}},
             {"Contact", CMD_ADD_CONTACT, {}},
             {"To call", CMD_ADD_CALL, {}},
             {"To mail", CMD_ADD_MAIL, {}},
             {"To pay", CMD_ADD_PAYMENT, {}},
             SEPARATOR,
             {"Add new &folder", CMD_ADD_FOLDER, {}}},
            0};
}

ContextMenu folderTreeMenu() {
    return {{{"Focus", CMD_TREE_FOCUS, {}},
             {"Rename\tF2", CMD_TREE_RENAME, {}},
             {"De&lete folder...", CMD_TREE_DELETE, {}},
             SEPARATOR,
             {"Add subfolder...", CMD_TREE_ADD_SUBFOLDER, {}},
             {"Export as HTML", CMD_TREE_EXPORT, {}},
             SEPARATOR,
             {"Make active", CMD_TREE_MAKE_ACTIVE, {}},
             {"Make inactive", CMD_TREE_MAKE_INACTIVE, {}},
             SEPARATOR,
             {"&Edit...", CMD_TREE_EDIT, {}},
             SEPARATOR,
             {"About folders...\tF1", CMD_TREE_ABOUT_FOLDERS, {}}},
            CMD_TREE_FOCUS};
}

bool isRoot(const VNode& item) {
    return item.collection && &item == item.collection->root;
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

bool ContextEntryEnabled(int command, const VNode& item) {
    bool own = (item.flags & INACTIVE) != 0;
    switch (command) {
    case CMD_TREE_RENAME:
    case CMD_TREE_DELETE:
    case CMD_TREE_EDIT:
        return !isRoot(item);
    case CMD_MAKE_ACTIVE:
    case CMD_TREE_MAKE_ACTIVE:
        return !isRoot(item) && own;
    case CMD_MAKE_INACTIVE:
    case CMD_TREE_MAKE_INACTIVE:
        // Below an inactive folder an item is inactive whatever its own flag says.
        return !isRoot(item) && !own && item.IsActive();
    case CMD_WAITING:
        return !(item.flags & WAITING);
    case CMD_NOT_WAITING:
        return (item.flags & WAITING) != 0;
    default:
        return true;
    }
}

const std::vector<TreeKey>& FolderTreeKeys() {
    static const std::vector<TreeKey> keys = {
        {NamedKey::F2, CMD_TREE_RENAME},
        {NamedKey::Delete, CMD_TREE_DELETE},
        {NamedKey::F1, CMD_TREE_ABOUT_FOLDERS},
    };
    return keys;
}
