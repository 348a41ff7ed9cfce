#include "app/commands/command_table.h"

#include "app/commands/command_groups.h"
#include "app/history/change_names.h"
#include "app/skedraDoc.h"

#include <unordered_map>

namespace {

struct Table {
    std::vector<CommandEntry> rows;
    std::unordered_map<int, const CommandEntry*> byId;
};

const Table& table() {
    static const Table built = [] {
        Table t;
        for (auto group :
             {ViewCommands, FilterCommands, FolderCommands, ItemCommands, ScheduleCommands,
              WebPageCommands, ProgramCommands, HistoryCommands, FileCommands,
              ICalendarCommands, SyncCommands})
            for (const CommandEntry& e : group())
                t.rows.push_back(e);
        for (const CommandEntry& e : t.rows)
            t.byId.emplace(e.id, &e);
        return t;
    }();
    return built;
}

// The words of a caption: "&Edit...\tF2" reads "Edit".
std::string plain(const std::string& caption) {
    std::string text;
    for (char ch : caption.substr(0, caption.find('\t')))
        if (ch != '&') text += ch;
    while (!text.empty() && (text.back() == '.' || text.back() == ' '))
        text.pop_back();
    return text;
}

// The history names a change that a key or the pointer started as its command's.
[[maybe_unused]] const bool namesGiven = (GiveCommandChangeNames(CommandChangeName), true);

} // namespace

const std::vector<CommandEntry>& AllCommands() {
    return table().rows;
}

const CommandEntry* FindCommand(int id) {
    auto found = table().byId.find(id);
    return found == table().byId.end() ? nullptr : found->second;
}

bool CommandEnabled(int id, const CommandContext& context) {
    const CommandEntry* e = FindCommand(id);
    return e && e->run && (!e->enabled || e->enabled(context));
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

std::string CommandCaption(int id) {
    const CommandEntry* e = FindCommand(id);
    return e ? e->caption : "";
}

std::string CommandMenuCaption(int id) {
    const CommandEntry* e = FindCommand(id);
    return !e ? "" : e->menuCaption ? e->menuCaption : e->caption;
}

std::string CommandDescription(int id) {
    const CommandEntry* e = FindCommand(id);
    return e ? e->description : "";
}

const char* CommandIcon(int id) {
    const CommandEntry* e = FindCommand(id);
    return e ? e->icon : nullptr;
}

std::string CommandKeyText(int id) {
    const CommandEntry* e = FindCommand(id);
    if (!e || (e->keys.empty() && e->viewKey == NamedKey::None)) return "";
    const KeyStroke k = e->keys.empty() ? KeyStroke{.key = e->viewKey} : e->keys.front();
    std::string text;
    if (k.modifiers & KEY_CTRL) text += "Ctrl+";
    if (k.modifiers & KEY_ALT) text += "Alt+";
    if (k.modifiers & KEY_SHIFT) text += "Shift+";
    switch (k.key) {
    case NamedKey::None:
        return text + k.letter;
    case NamedKey::F1:
        return text + "F1";
    case NamedKey::F2:
        return text + "F2";
    case NamedKey::F5:
        return text + "F5";
    case NamedKey::F6:
        return text + "F6";
    case NamedKey::Delete:
        return text + "Del";
    case NamedKey::Insert:
        return text + "Ins";
    case NamedKey::Back:
        return text + "Back";
    case NamedKey::PageUp:
        return text + "PgUp";
    case NamedKey::PageDown:
        return text + "PgDn";
    case NamedKey::Enter:
        return text + "Enter";
    case NamedKey::NumpadAdd:
        return text + "Num +";
    case NamedKey::NumpadSubtract:
        return text + "Num -";
    }
    return text;
}

std::string CommandChangeName(int command) {
    const CommandEntry* e = FindCommand(command);
    if (!e) return "";
    if (e->undoName) return e->undoName;
    return plain(*e->caption || !e->menuCaption ? e->caption : e->menuCaption);
}
