// Help and the product's web pages, opened in the browser.
#include "app/commands/command_groups.h"

#include "app/web_pages.h"
#include "platform/command_ids.h"

namespace {

template <int ID> unsigned openPage(CommandContext&) {
    OpenWebPage(WebPageFor(ID));
    return CHANGED_NOTHING;
}

} // namespace

std::vector<CommandEntry> WebPageCommands() {
    return {
        {.id = CMD_HELP, .run = openPage<CMD_HELP>, .caption = "Help", .icon = "help"},
        {.id = CMD_CALENDAR_TUTORIAL,
         .run = openPage<CMD_CALENDAR_TUTORIAL>,
         .caption = "Getting started with the calendar",
         .icon = "guide"},
        {.id = CMD_CHECK_UPDATES,
         .run = openPage<CMD_CHECK_UPDATES>,
         .caption = "Check for updates",
         .icon = "updates"},
        {.id = CMD_VISIT_VANTRY,
         .run = openPage<CMD_VISIT_VANTRY>,
         .caption = "Visit Vantry website",
         .icon = "web"},
        {.id = CMD_VISIT_NIMBREL,
         .run = openPage<CMD_VISIT_NIMBREL>,
         .caption = "Visit Nimbrel website",
         .icon = "web"},
        {.id = CMD_TREE_ABOUT_FOLDERS,
         .run = openPage<CMD_TREE_ABOUT_FOLDERS>,
         .caption = "About folders...\tF1",
         .treeKey = NamedKey::F1},
    };
}
