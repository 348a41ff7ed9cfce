#include "app/web_pages.h"

#include "foundation/qshell.h"
#include "platform/command_ids.h"
#include "platform/ui.h"

#include <cstdio>

std::string WebPageFor(int command) {
    std::string jump = std::string(VANTRY_SITE) + "index.php?jump=vantry/";
    switch (command) {
    case CMD_HELP:
        return jump + "documentation.htm";
    case CMD_GETTING_STARTED:
        return jump + "tutorial.htm";
    case CMD_CALENDAR_TUTORIAL:
        return jump + "tutorial_calendar.htm";
    case CMD_TREE_ABOUT_FOLDERS:
        return jump + "tutorial_groups.htm";
    case CMD_CHECK_UPDATES:
        return jump + "features.htm";
    case CMD_VISIT_VANTRY:
        return VANTRY_SITE;
    case CMD_VISIT_NIMBREL:
        return NIMBREL_SITE;
    default:
        return "";
    }
}

bool OpenWebPage(const std::string& url, bool helpRequest) {
    if (QShellOpen(url.c_str())) return true;
    char text[2048];
    std::snprintf(text, sizeof text,
                  helpRequest ? "Can't start online help (%s)" : "Can't start website (%s)",
                  url.c_str());
    ShowMessage(text, "Error", MsgButtons::OK, MsgIcon::Error);
    return false;
}
