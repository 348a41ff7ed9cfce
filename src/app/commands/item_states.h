// Which item commands are offered for an item: the activity and waiting entries follow
// the item's flags, and the top folder can't be renamed, deleted, edited or made active
// or inactive. The context menus grey their entries by it, and the commands agree.
#pragma once

class VNode;

// Every other command is offered.
bool ContextEntryEnabled(int command, const VNode& item);
