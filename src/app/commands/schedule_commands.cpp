// Rescheduling and changing durations: an action moves or stretches its own dates, a
// folder passes the days on to every item shown below it.
#include "app/commands/command_groups.h"

#include "app/commands/command_ids.h"
#include "app/commands/item_changes.h"
#include "model/vcollection.h"
#include "model/vvisibility.h"
#include "views/view_document.h"

namespace {

template <void (VCollection::*CHANGE)(VNode*, int), int DAYS> unsigned change(CommandContext& c) {
    VNode* item = SelectedItem(*c.view);
    if (!item) return CHANGED_NOTHING;
    VCollection& collection = ShownCollection(*c.view);
    // A folder reaches its items through its shown list: build it as it stands now.
    if (IsFolder(item)) collection.MakeView(item);
    (collection.*CHANGE)(item, DAYS);
    c.view->document->ItemsChanged();
    return CHANGED_ITEMS;
}

// "Month" is four weeks here, as the menus' "4 weeks later" is.
constexpr int WEEK = 7, MONTH = 28;

template <void (VCollection::*CHANGE)(VNode*, int), int DAYS> CommandEntry entry(int command) {
    return {command, change<CHANGE, DAYS>, HasItemView, nullptr, HasSelectedItem};
}

} // namespace

std::vector<CommandEntry> ScheduleCommands() {
    return {
        entry<&VCollection::ShiftTree, 1>(CMD_LATER_1_DAY),
        entry<&VCollection::ShiftTree, WEEK>(CMD_LATER_1_WEEK),
        entry<&VCollection::ShiftTree, MONTH>(CMD_LATER_4_WEEKS),
        entry<&VCollection::ShiftTree, -1>(CMD_EARLIER_1_DAY),
        entry<&VCollection::ShiftTree, -WEEK>(CMD_EARLIER_1_WEEK),
        entry<&VCollection::ShiftTree, -MONTH>(CMD_EARLIER_4_WEEKS),
        entry<&VCollection::ResizeTree, 1>(CMD_ADD_1_DAY),
        entry<&VCollection::ResizeTree, WEEK>(CMD_ADD_1_WEEK),
        entry<&VCollection::ResizeTree, MONTH>(CMD_ADD_1_MONTH),
        entry<&VCollection::ResizeTree, -1>(CMD_SUBTRACT_1_DAY),
        entry<&VCollection::ResizeTree, -WEEK>(CMD_SUBTRACT_1_WEEK),
        entry<&VCollection::ResizeTree, -MONTH>(CMD_SUBTRACT_1_MONTH),
    };
}
