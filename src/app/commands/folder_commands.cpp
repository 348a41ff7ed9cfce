// Commands on the current folder and the folder tree.
#include "app/commands/command_groups.h"

#include "app/commands/command_ids.h"
#include "app/skedradoc.h"
#include "platform/document_host.h"
#include "views/skedraView.h"

std::vector<CommandEntry> FolderCommands() {
    return {
        {CMD_EXPORT_HTML,
         [](CommandContext& c) -> unsigned {
             c.view->ExportFolder();
             return CHANGED_NOTHING;
         },
         HasView},
        {CMD_REFILL_TREE,
         [](CommandContext& c) -> unsigned {
             if (DocumentHost* host = c.document->Host()) host->RefillTree();
             return CHANGED_NOTHING;
         },
         HasDocument},
    };
}
