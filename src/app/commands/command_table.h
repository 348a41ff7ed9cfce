// The command table: every numbered command the ribbon, the menus and the keys send,
// each with what it runs, whether it is offered and whether it shows a tick. A command
// acts on a context (the document, the item view, the folder tree and the services of
// the window around them) and answers what it changed.
#pragma once

#include "app/commands/command_keys.h"

#include <string>
#include <vector>

class CLeftView;
class CSkedraDoc;
class CSkedraView;
class CommandUI;

// What a command changed: a few bits the undo history can record.
enum CommandChange : unsigned {
    CHANGED_NOTHING = 0,
    CHANGED_VIEW = 1,     // the view state: mode, flags, shown span, current folder
    CHANGED_ITEMS = 2,    // nodes of the document
    CHANGED_FILTERS = 4,  // the collection's filters and sort mode
    CHANGED_SETTINGS = 8, // the settings file
};

struct CommandContext {
    CSkedraDoc* document = nullptr;
    CSkedraView* view = nullptr;
    CLeftView* tree = nullptr;
    CommandUI* ui = nullptr;
    // What a control sent with its command: the chosen entry, the typed text.
    int choice = -1;
    std::string text;
};

// One command, declared once: what it does and what the user sees of it. The ribbon, the
// menus, the keys, the pictures and the history's names are all built from these rows.
struct CommandEntry {
    int id = 0;
    // Null for the framework's own (New, Open, Save, Print...), which the window's
    // document manager runs: the table only says how they look.
    unsigned (*run)(CommandContext& context) = nullptr;
    // Null: offered whenever the command's part of the context is there.
    bool (*enabled)(const CommandContext& context) = nullptr;
    // Null: the command shows no tick.
    bool (*checked)(const CommandContext& context) = nullptr;
    // Null: usable whenever offered. A command that would do nothing now (nothing is
    // selected) is greyed on the ribbon and in menus; sent anyway (by a key) it still
    // runs, and tells the user why it does nothing.
    bool (*usable)(const CommandContext& context) = nullptr;
    // Null: the command keeps the caption it was built with; else the caption to show now.
    std::string (*label)(const CommandContext& context) = nullptr;

    // On the ribbon and in the File menu; "&" marks a menu's mnemonic, a tab its key.
    const char* caption = "";
    // In the context menus, where they word it otherwise; null: the caption.
    const char* menuCaption = nullptr;
    // The File menu's line under the entry.
    const char* description = "";
    // Its step in the undo history; null: the caption's words ("&Edit...\tF2": "Edit").
    const char* undoName = nullptr;
    // Its picture by name (an SVG of src/wx/icons: "delete", "file_open"); null: a plain page.
    const char* icon = nullptr;
    // The main window's keys for it, and the folder tree's own.
    std::vector<KeyStroke> keys = {};
    NamedKey treeKey = NamedKey::None;
    // The item view's own key for it, which the view answers while it has the keyboard
    // (views/skedraView_keys.cpp): no accelerator, only shown beside the command in menus.
    NamedKey viewKey = NamedKey::None;
};

// Every row, group by group.
const std::vector<CommandEntry>& AllCommands();

// The entry of a command, or null when the table has none.
const CommandEntry* FindCommand(int id);

// Runs the command; false when the table has none or it is not offered now. `changed`
// receives what it changed. Whatever it changes in the document is one step of the undo
// history, named after the command.
bool RunCommand(int id, CommandContext& context, unsigned* changed = nullptr);
bool CommandEnabled(int id, const CommandContext& context);
// Whether its button or menu entry is shown enabled: offered and usable now.
bool CommandUsable(int id, const CommandContext& context);
// Whether the command shows a tick; false for one that shows none.
bool CommandChecked(int id, const CommandContext& context);
bool CommandHasTick(int id);
// The caption the command shows now, or empty when it keeps the one it was built with.
std::string CommandLabel(int id, const CommandContext& context);

// What the user sees of a command, from its row; empty (or null) for a number without one.
std::string CommandCaption(int id);
std::string CommandMenuCaption(int id);
std::string CommandDescription(int id);
const char* CommandIcon(int id);
// The key a menu shows beside the command, as wx writes it ("Ctrl+S", "Shift+G", "F1"):
// the first of the row's keys, else the item view's own key, or "" when it has none.
std::string CommandKeyText(int id);

// The name of the change a command makes in the history ("Delete", "Add to-do"); empty
// for a number without a row.
std::string CommandChangeName(int command);
