#include "app/ribbon_layout.h"

#include "app/commands/command_table.h"
#include "platform/command_ids.h"
#include "views/view_flags.h"

namespace {

RibbonElement element(int command, RibbonKind kind, int width = 0) {
    RibbonElement e;
    e.caption = CommandCaption(command);
    e.command = command;
    e.kind = kind;
    e.width = width;
    return e;
}
RibbonElement button(int command) {
    return element(command, RibbonKind::Button);
}
RibbonElement plainButton(int command) {
    return element(command, RibbonKind::ButtonWithoutIcon);
}
RibbonElement checkBox(int command, unsigned flag) {
    RibbonElement e = element(command, RibbonKind::CheckBox);
    e.viewFlag = flag;
    return e;
}

RibbonPanel viewPanel() {
    return {"View", {button(CMD_AS_LIST), button(CMD_AS_CALENDAR), button(CMD_AS_AGENDA)}};
}

std::vector<RibbonCategory> build() {
    RibbonElement show = element(CMD_STATE_FILTER, RibbonKind::ComboBox, 160);
    for (int i = 0; i < STATE_FILTER_ENTRIES; ++i)
        show.entries.push_back(StateFilterEntry(i));
    show.selected = 0;
    RibbonElement text = element(CMD_TEXT_FILTER, RibbonKind::Edit, 140);
    RibbonElement contacts = element(CMD_CONTACT_FILTER, RibbonKind::ComboBox, 160);
    contacts.entries = {"<all contacts>"};
    contacts.selected = 0;
    contacts.dropDownHeight = 500;
    RibbonElement sort = element(CMD_SORT, RibbonKind::ComboBox, 185);
    sort.entries = {"logically (default)", "by contact name"};
    sort.selected = 0;
    // The calendar's own Help panel words the general help apart from its tutorial.
    RibbonElement generalHelp = button(CMD_HELP);
    generalHelp.caption = "General Help";

    return {
        {"Global",
         {viewPanel(),
          {"Tools", {button(CMD_EXPORT_HTML), button(CMD_PREFERENCES), button(CMD_REMOTE_VIEW)}},
          {"Help",
           {button(CMD_HELP), button(CMD_GETTING_STARTED), button(CMD_CHECK_UPDATES),
            button(CMD_VISIT_VANTRY), button(CMD_VISIT_NIMBREL), button(CMD_ABOUT)}}}},
        {"Items",
         {{"Clipboard", {button(CMD_DELETE), button(CMD_EDIT)}},
          {"Add new item in current folder",
           {button(CMD_ADD_FOLDER), button(CMD_ADD_TODO), button(CMD_ADD_ACTION),
            button(CMD_ADD_AGREEMENT), button(CMD_ADD_LOCATION), button(CMD_ADD_FACT),
            button(CMD_ADD_CONTACT), button(CMD_ADD_CALL), button(CMD_ADD_MAIL),
            button(CMD_ADD_PAYMENT)}},
          {"Quickly filtering displayed items", {show, text, button(CMD_CLEAR_FILTER)}},
          {"Contact-related viewing",
           {contacts, checkBox(CMD_HIDE_OTHERS, VIEW_HIDE_OTHERS), sort}}}},
        {"List view",
         {viewPanel(),
          {"Gantt chart",
           {checkBox(CMD_SHOW_GANTT, VIEW_GANTT), checkBox(CMD_SHOW_PROGRESS, VIEW_PROGRESS)}},
          {"Gantt headers",
           {checkBox(CMD_SHOW_DAYS, VIEW_DAYS), plainButton(CMD_MORE_WEEKS),
            plainButton(CMD_LESS_WEEKS), plainButton(CMD_PREVIOUS_WEEK),
            plainButton(CMD_NEXT_WEEK)}}}},
        {"Calendar view",
         {viewPanel(),
          {"Navigate",
           {button(CMD_GOTO_TODAY), button(CMD_PREVIOUS_MONTH), button(CMD_NEXT_MONTH)}},
          {"Help", {button(CMD_CALENDAR_TUTORIAL), generalHelp}}}},
    };
}

// A File menu entry as its command's row shows it.
MenuEntry fileEntry(int command, std::vector<MenuEntry> submenu = {}) {
    return {CommandCaption(command), command, std::move(submenu), CommandDescription(command)};
}

} // namespace

const std::vector<RibbonCategory>& RibbonCategories() {
    static const std::vector<RibbonCategory> categories = build();
    return categories;
}

const std::vector<MenuEntry>& ApplicationMenu() {
    static const std::vector<MenuEntry> menu = {
        fileEntry(CMD_FILE_NEW),
        fileEntry(CMD_FILE_OPEN),
        fileEntry(CMD_FILE_SAVE),
        fileEntry(CMD_FILE_SAVE_AS),
        fileEntry(CMD_PRINT, {fileEntry(CMD_PRINT_DIRECT), fileEntry(CMD_PRINT_PREVIEW),
                              fileEntry(CMD_PRINT_SETUP)}),
        {"Export", 0, {fileEntry(CMD_EXPORT_ICALENDAR)}},
        {"Import", 0, {fileEntry(CMD_IMPORT_ICALENDAR)}},
        {"Sync", 0, {fileEntry(CMD_SYNC_ACCOUNT), fileEntry(CMD_SYNC_NOW)}},
        {"", 0, {}},
        fileEntry(CMD_UNDO),
        fileEntry(CMD_REDO),
        {"", 0, {}},
        fileEntry(CMD_FILE_CLOSE),
        {"Recent documents", 0, {}},
        fileEntry(CMD_EXIT),
    };
    return menu;
}

const std::vector<int>& QuickAccessCommands() {
    static const std::vector<int> commands = {CMD_FILE_NEW,      CMD_FILE_OPEN, CMD_FILE_SAVE,
                                              CMD_PRINT_PREVIEW, CMD_UNDO,      CMD_REDO};
    return commands;
}

const std::vector<Accelerator>& Accelerators() {
    static const std::vector<Accelerator> keys = [] {
        std::vector<Accelerator> all;
        for (const CommandEntry& e : AllCommands())
            for (const KeyStroke& k : e.keys)
                all.push_back({k.modifiers, k.letter, k.key, e.id});
        return all;
    }();
    return keys;
}

bool TypesText(const Accelerator& key) {
    return key.letter != 0 && (key.modifiers & (KEY_CTRL | KEY_ALT)) == 0;
}
