// Rescheduling and changing durations: an action moves or stretches its own dates, a
// folder passes the days on to every item shown below it.
#include "app/commands/command_groups.h"

#include "app/commands/item_changes.h"
#include "model/vcollection.h"
#include "model/vvisibility.h"
#include "platform/command_ids.h"
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

} // namespace

std::vector<CommandEntry> ScheduleCommands() {
    return {
        {.id = CMD_LATER_1_DAY,
         .run = change<&VCollection::ShiftTree, 1>,
         .enabled = HasItemView,
         .usable = HasSelectedItem,
         .caption = "1 day later"},
        {.id = CMD_LATER_1_WEEK,
         .run = change<&VCollection::ShiftTree, WEEK>,
         .enabled = HasItemView,
         .usable = HasSelectedItem,
         .caption = "1 week later"},
        {.id = CMD_LATER_4_WEEKS,
         .run = change<&VCollection::ShiftTree, MONTH>,
         .enabled = HasItemView,
         .usable = HasSelectedItem,
         .caption = "4 weeks later"},
        {.id = CMD_EARLIER_1_DAY,
         .run = change<&VCollection::ShiftTree, -1>,
         .enabled = HasItemView,
         .usable = HasSelectedItem,
         .caption = "1 day earlier"},
        {.id = CMD_EARLIER_1_WEEK,
         .run = change<&VCollection::ShiftTree, -WEEK>,
         .enabled = HasItemView,
         .usable = HasSelectedItem,
         .caption = "1 week earlier"},
        {.id = CMD_EARLIER_4_WEEKS,
         .run = change<&VCollection::ShiftTree, -MONTH>,
         .enabled = HasItemView,
         .usable = HasSelectedItem,
         .caption = "4 weeks earlier"},
        {.id = CMD_ADD_1_DAY,
         .run = change<&VCollection::ResizeTree, 1>,
         .enabled = HasItemView,
         .usable = HasSelectedItem,
         .caption = "Add 1 day"},
        {.id = CMD_ADD_1_WEEK,
         .run = change<&VCollection::ResizeTree, WEEK>,
         .enabled = HasItemView,
         .usable = HasSelectedItem,
         .caption = "Add 1 week"},
        {.id = CMD_ADD_1_MONTH,
         .run = change<&VCollection::ResizeTree, MONTH>,
         .enabled = HasItemView,
         .usable = HasSelectedItem,
         .caption = "Add 1 month"},
        {.id = CMD_SUBTRACT_1_DAY,
         .run = change<&VCollection::ResizeTree, -1>,
         .enabled = HasItemView,
         .usable = HasSelectedItem,
         .caption = "Subtract 1 day"},
        {.id = CMD_SUBTRACT_1_WEEK,
         .run = change<&VCollection::ResizeTree, -WEEK>,
         .enabled = HasItemView,
         .usable = HasSelectedItem,
         .caption = "Subtract 1 week"},
        {.id = CMD_SUBTRACT_1_MONTH,
         .run = change<&VCollection::ResizeTree, -MONTH>,
         .enabled = HasItemView,
         .usable = HasSelectedItem,
         .caption = "Subtract 1 month"},
    };
}
