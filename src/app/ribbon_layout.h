// The ribbon described as data: the application menu, the quick-access buttons and
// the categories with their panels and elements, in order. The layout says where each
// command goes; its caption, picture and keys come from its row of the command table.
#pragma once

#include "app/commands/command_keys.h"

#include <string>
#include <vector>

enum class RibbonKind { Button, ButtonWithoutIcon, CheckBox, ComboBox, Edit };

struct RibbonElement {
    std::string caption;
    int command = 0;
    RibbonKind kind = RibbonKind::Button;
    int width = 0;                    // combo boxes and the edit field
    std::vector<std::string> entries; // combo boxes
    int selected = -1;                // combo entry selected when the ribbon is built
    int dropDownHeight = 0;
    unsigned viewFlag = 0; // check boxes show this view flag
};

struct RibbonPanel {
    std::string caption;
    std::vector<RibbonElement> elements;
};

struct RibbonCategory {
    std::string caption;
    std::vector<RibbonPanel> panels;
};

struct MenuEntry {
    std::string caption; // "" for a separator
    int command;
    std::vector<MenuEntry> submenu;
    std::string description = ""; // shown with the entry
    std::string key = "";         // shown beside it: "Del", "Shift+G"
};

// The label of the sub-menu that holds an entry's further commands.
constexpr const char* PRINT_COMMANDS_LABEL = "Print Commands";

const std::vector<RibbonCategory>& RibbonCategories();
const std::vector<MenuEntry>& ApplicationMenu();
const std::vector<int>& QuickAccessCommands();

// The main window's keys, from the commands' rows.
struct Accelerator {
    int modifiers;
    char letter; // 0 when a named key
    NamedKey key;
    int command;
};
const std::vector<Accelerator>& Accelerators();
// A key that types a character (a letter, with Shift at most): in a text field it is the
// field's, and only elsewhere the accelerator's.
bool TypesText(const Accelerator& key);
