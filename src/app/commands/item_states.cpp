#include "app/commands/item_states.h"

#include "model/vcollection.h"
#include "platform/command_ids.h"

namespace {

bool isRoot(const VNode& item) {
    return item.collection && &item == item.collection->root;
}

} // namespace

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
