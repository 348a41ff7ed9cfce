// The ribbon's filter controls: the state filter, the text filter and its clear button,
// the contact filter and the sort order. The control's value arrives in the context.
#include "app/commands/command_groups.h"

#include "app/commands/command_ids.h"
#include "app/commands/command_ui.h"
#include "app/skedradoc.h"

std::vector<CommandEntry> FilterCommands() {
    return {
        {CMD_STATE_FILTER,
         [](CommandContext& c) -> unsigned {
             c.document->OnStateFilter(c.choice);
             return CHANGED_FILTERS | CHANGED_VIEW | CHANGED_SETTINGS;
         },
         HasDocument},
        {CMD_TEXT_FILTER,
         [](CommandContext& c) -> unsigned {
             c.document->OnTextFilter(c.text.c_str());
             return CHANGED_FILTERS;
         },
         HasDocument},
        {CMD_CLEAR_FILTER,
         [](CommandContext& c) -> unsigned {
             if (c.ui) c.ui->ClearFilterText();
             c.document->OnClearFilter();
             return CHANGED_FILTERS;
         },
         HasDocument},
        {CMD_FOCUS_FILTER,
         [](CommandContext& c) -> unsigned {
             c.ui->FocusFilterText();
             return CHANGED_NOTHING;
         },
         HasUI},
        {CMD_CONTACT_FILTER,
         [](CommandContext& c) -> unsigned {
             c.document->OnContactFilter(c.choice);
             return CHANGED_FILTERS;
         },
         HasDocument},
        {CMD_SORT,
         [](CommandContext& c) -> unsigned {
             c.document->OnSort(c.choice);
             return CHANGED_FILTERS;
         },
         HasDocument},
    };
}
