// Help and the product's web pages, opened in the browser.
#include "app/commands/command_groups.h"

#include "app/commands/command_ids.h"
#include "app/web_pages.h"

namespace {

template <int ID> unsigned openPage(CommandContext&) {
    OpenWebPage(WebPageFor(ID));
    return CHANGED_NOTHING;
}

} // namespace

std::vector<CommandEntry> WebPageCommands() {
    return {
        {CMD_HELP, openPage<CMD_HELP>},
        {CMD_CALENDAR_TUTORIAL, openPage<CMD_CALENDAR_TUTORIAL>},
        {CMD_CHECK_UPDATES, openPage<CMD_CHECK_UPDATES>},
        {CMD_VISIT_VANTRY, openPage<CMD_VISIT_VANTRY>},
        {CMD_VISIT_NIMBREL, openPage<CMD_VISIT_NIMBREL>},
        {CMD_TREE_ABOUT_FOLDERS, openPage<CMD_TREE_ABOUT_FOLDERS>},
    };
}
