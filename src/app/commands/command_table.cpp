#include "app/commands/command_table.h"

#include "app/commands/command_groups.h"
#include "app/history/change_names.h"
#include "app/skedradoc.h"

#include <unordered_map>

namespace {

const std::unordered_map<int, CommandEntry>& table() {
    static const std::unordered_map<int, CommandEntry> entries = [] {
        std::unordered_map<int, CommandEntry> all;
        for (auto group : {ViewCommands, FilterCommands, FolderCommands, ItemCommands,
                           ScheduleCommands, WebPageCommands, ProgramCommands, HistoryCommands})
            for (const CommandEntry& e : group())
                all.emplace(e.id, e);
        return all;
    }();
    return entries;
}

} // namespace

const CommandEntry* FindCommand(int id) {
    auto found = table().find(id);
    return found == table().end() ? nullptr : &found->second;
}

bool CommandEnabled(int id, const CommandContext& context) {
    const CommandEntry* e = FindCommand(id);
    return e && (!e->enabled || e->enabled(context));
}

bool CommandUsable(int id, const CommandContext& context) {
    const CommandEntry* e = FindCommand(id);
    return CommandEnabled(id, context) && (!e->usable || e->usable(context));
}

bool RunCommand(int id, CommandContext& context, unsigned* changed) {
    if (changed) *changed = CHANGED_NOTHING;
    if (!CommandEnabled(id, context)) return false;
    CSkedraDoc* document = context.document;
    if (document) document->BeginCommand(CommandChangeName(id));
    unsigned what = FindCommand(id)->run(context);
    if (document) document->EndCommand((what & (CHANGED_ITEMS | CHANGED_SETTINGS)) != 0);
    if (changed) *changed = what;
    return true;
}

bool CommandHasTick(int id) {
    const CommandEntry* e = FindCommand(id);
    return e && e->checked;
}

bool CommandChecked(int id, const CommandContext& context) {
    const CommandEntry* e = FindCommand(id);
    return e && e->checked && CommandEnabled(id, context) && e->checked(context);
}

std::string CommandLabel(int id, const CommandContext& context) {
    const CommandEntry* e = FindCommand(id);
    return e && e->label ? e->label(context) : std::string();
}
