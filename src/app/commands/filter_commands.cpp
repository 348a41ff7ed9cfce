// The ribbon's filter controls: the state filter, the text filter and its clear button,
// the contact filter and the sort order. The control's value arrives in the context.
#include "app/commands/command_groups.h"

#include "app/commands/command_ui.h"
#include "app/skedraDoc.h"
#include "platform/command_ids.h"

std::vector<CommandEntry> FilterCommands() {
    return {
        {.id = CMD_STATE_FILTER,
         .run = [](CommandContext& c) -> unsigned {
             c.document->Filters().OnStateFilter(c.choice);
             return CHANGED_FILTERS | CHANGED_VIEW | CHANGED_SETTINGS;
         },
         .enabled = HasDocument,
         .caption = "Show "},
        {.id = CMD_TEXT_FILTER,
         .run = [](CommandContext& c) -> unsigned {
             c.document->Filters().OnTextFilter(c.text.c_str());
             return CHANGED_FILTERS;
         },
         .enabled = HasDocument,
         .caption = "Filter by text"},
        {.id = CMD_CLEAR_FILTER,
         .run = [](CommandContext& c) -> unsigned {
             if (c.ui) c.ui->ClearFilterText();
             c.document->Filters().OnClearFilter();
             return CHANGED_FILTERS;
         },
         .enabled = HasDocument,
         .caption = "Clear filter",
         .icon = "undo"},
        {.id = CMD_FOCUS_FILTER,
         .run = [](CommandContext& c) -> unsigned {
             c.ui->FocusFilterText();
             return CHANGED_NOTHING;
         },
         .enabled = HasUI,
         .keys = {{.modifiers = KEY_CTRL, .letter = 'F'}}},
        {.id = CMD_CONTACT_FILTER,
         .run = [](CommandContext& c) -> unsigned {
             c.document->Filters().OnContactFilter(c.choice);
             return CHANGED_FILTERS;
         },
         .enabled = HasDocument,
         .caption = "Hilite items of "},
        {.id = CMD_SORT,
         .run = [](CommandContext& c) -> unsigned {
             c.document->Filters().OnSort(c.choice);
             return CHANGED_FILTERS;
         },
         .enabled = HasDocument,
         .caption = "Sort view "},
    };
}
