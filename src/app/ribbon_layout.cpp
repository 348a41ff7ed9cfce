#include "app/ribbon_layout.h"

#include "app/commands/command_ids.h"
#include "views/viewflags.h"

namespace {

RibbonElement element(const char* caption, int command, RibbonKind kind, int width = 0) {
    RibbonElement e;
    e.caption = caption;
    e.command = command;
    e.kind = kind;
    e.width = width;
    return e;
}
RibbonElement button(const char* caption, int command) {
    return element(caption, command, RibbonKind::Button);
}
RibbonElement plainButton(const char* caption, int command) {
    return element(caption, command, RibbonKind::ButtonWithoutIcon);
}
RibbonElement checkBox(const char* caption, int command, unsigned flag) {
    RibbonElement e = element(caption, command, RibbonKind::CheckBox);
    e.viewFlag = flag;
    return e;
}

RibbonPanel viewPanel() {
    return {"View", {button("As list", CMD_AS_LIST), button("As calendar", CMD_AS_CALENDAR)}};
}

std::vector<RibbonCategory> build() {
    RibbonElement show = element("Show ", CMD_STATE_FILTER, RibbonKind::ComboBox, 160);
    for (int i = 0; i < STATE_FILTER_ENTRIES; ++i)
        show.entries.push_back(StateFilterEntry(i));
    show.selected = 0;
    RibbonElement text = element("Filter by text", CMD_TEXT_FILTER, RibbonKind::Edit, 140);
    RibbonElement contacts =
        element("Hilite items of ", CMD_CONTACT_FILTER, RibbonKind::ComboBox, 160);
    contacts.entries = {"<all contacts>"};
    contacts.selected = 0;
    contacts.dropDownHeight = 500;
    RibbonElement sort = element("Sort view ", CMD_SORT, RibbonKind::ComboBox, 185);
    sort.entries = {"logically (default)", "by contact name"};
    sort.selected = 0;

    return {
        {"Global",
         {viewPanel(),
          {"Tools",
           {button("Export HTML", CMD_EXPORT_HTML), button("Preferences", CMD_PREFERENCES),
            button("Remote view", CMD_REMOTE_VIEW)}},
          {"Help",
           {button("Help", CMD_HELP), button("Getting started", CMD_GETTING_STARTED),
            button("Check for updates", CMD_CHECK_UPDATES),
            button("Visit Vantry website", CMD_VISIT_VANTRY),
            button("Visit Nimbrel website", CMD_VISIT_NIMBREL), button("About", CMD_ABOUT)}}}},
        {"Items",
         {{"Clipboard", {button("Delete", CMD_DELETE), button("Edit...", CMD_EDIT)}},
          {"Add new item in current folder",
           {button("Add folder", CMD_ADD_FOLDER), button("Todo", CMD_ADD_TODO),
            button("Action", CMD_ADD_ACTION), button("Agreement", CMD_ADD_AGREEMENT),
            button("Location", CMD_ADD_LOCATION), button("Fact", CMD_ADD_FACT),
            button("Contact", CMD_ADD_CONTACT), button("Call", CMD_ADD_CALL),
            button("To-Mail", CMD_ADD_MAIL), button("Payment", CMD_ADD_PAYMENT)}},
          {"Quickly filtering displayed items",
           {show, text, button("Clear filter", CMD_CLEAR_FILTER)}},
          {"Contact-related viewing",
           {contacts, checkBox("Hide other items", CMD_HIDE_OTHERS, VIEW_HIDE_OTHERS), sort}}}},
        {"List view",
         {viewPanel(),
          {"Gantt chart",
           {checkBox("Show Gantt chart", CMD_SHOW_GANTT, VIEW_GANTT),
            checkBox("Show progress", CMD_SHOW_PROGRESS, VIEW_PROGRESS)}},
          {"Gantt headers",
           {checkBox("Show days", CMD_SHOW_DAYS, VIEW_DAYS),
            plainButton("Show more weeks", CMD_MORE_WEEKS),
            plainButton("Show less weeks", CMD_LESS_WEEKS),
            plainButton("Previous week (PageUp)", CMD_PREVIOUS_WEEK),
            plainButton("Next week (PageDn)", CMD_NEXT_WEEK)}}}},
        {"Calendar view",
         {viewPanel(),
          {"Navigate",
           {button("Goto today", CMD_GOTO_TODAY),
            button("Prev month (PageDown)", CMD_PREVIOUS_MONTH),
            button("Next month (PageUp)", CMD_NEXT_MONTH)}},
          {"Help",
           {button("Getting started with the calendar", CMD_CALENDAR_TUTORIAL),
            button("General Help", CMD_HELP)}}}},
    };
}

} // namespace

const std::vector<RibbonCategory>& RibbonCategories() {
    static const std::vector<RibbonCategory> categories = build();
    return categories;
}

const std::vector<MenuEntry>& ApplicationMenu() {
    static const std::vector<MenuEntry> menu = {
        {"New", CMD_FILE_NEW, {}},
        {"Open", CMD_FILE_OPEN, {}},
        {"Save", CMD_FILE_SAVE, {}},
        {"Save As", CMD_FILE_SAVE_AS, {}},
        {"Print",
         CMD_PRINT,
         {{"Quick Print",
           CMD_PRINT_DIRECT,
           {},
           "Send the document straight to the printer, without changes"},
          {"Print Preview",
           CMD_PRINT_PREVIEW,
           {},
           "Preview and make changes to pages before printing"},
          {"Print Setup", CMD_PRINT_SETUP, {}, "Change the printer and printing options"}},
         "Select a printer, number of copies and other options before printing"},
        {"", 0, {}},
        {"Undo", CMD_UNDO, {}, "Take back the last change to the document"},
        {"Redo", CMD_REDO, {}, "Make the change taken back last again"},
        {"", 0, {}},
        {"Close", CMD_FILE_CLOSE, {}},
        {"Recent documents", 0, {}},
        {"Exit", CMD_EXIT, {}},
    };
    return menu;
}

const std::vector<int>& QuickAccessCommands() {
    static const std::vector<int> commands = {CMD_FILE_NEW,      CMD_FILE_OPEN, CMD_FILE_SAVE,
                                              CMD_PRINT_PREVIEW, CMD_UNDO,      CMD_REDO};
    return commands;
}

const std::vector<Accelerator>& Accelerators() {
    static const std::vector<Accelerator> keys = {
        {KEY_SHIFT, 'G', NamedKey::None, CMD_ADD_FOLDER},
        {KEY_SHIFT, 'D', NamedKey::None, CMD_ADD_TODO},
        {KEY_PLAIN, 0, NamedKey::F1, CMD_HELP_KEY},
        {KEY_PLAIN, 0, NamedKey::F5, CMD_REFILL_TREE},
        // The keys the ribbon's captions name; each goes the other way in the calendar.
        {KEY_PLAIN, 0, NamedKey::PageUp, CMD_NEXT_WEEK},
        {KEY_PLAIN, 0, NamedKey::PageDown, CMD_PREVIOUS_WEEK},
        {KEY_CTRL, 'N', NamedKey::None, CMD_FILE_NEW},
        {KEY_CTRL, 'O', NamedKey::None, CMD_FILE_OPEN},
        {KEY_CTRL, 'S', NamedKey::None, CMD_FILE_SAVE},
        {KEY_CTRL, 'P', NamedKey::None, CMD_PRINT},
        {KEY_PLAIN, 0, NamedKey::F6, CMD_NEXT_PANE},
        {KEY_SHIFT, 0, NamedKey::F6, CMD_PREVIOUS_PANE},
        {KEY_CTRL, 'Z', NamedKey::None, CMD_UNDO},
        {KEY_ALT, 0, NamedKey::Back, CMD_UNDO},
        {KEY_CTRL, 'Y', NamedKey::None, CMD_REDO},
        {KEY_CTRL | KEY_SHIFT, 'Z', NamedKey::None, CMD_REDO},
        {KEY_CTRL, 'F', NamedKey::None, CMD_FOCUS_FILTER},
        // The item view's size; "=" is the "+" key without Shift on most keyboards.
        {KEY_CTRL, '+', NamedKey::None, CMD_ZOOM_IN},
        {KEY_CTRL, '=', NamedKey::None, CMD_ZOOM_IN},
        {KEY_CTRL | KEY_SHIFT, '+', NamedKey::None, CMD_ZOOM_IN},
        {KEY_CTRL, '-', NamedKey::None, CMD_ZOOM_OUT},
        {KEY_CTRL, '0', NamedKey::None, CMD_ZOOM_RESET},
    };
    return keys;
}

std::string KeyTextFor(int command) {
    for (const Accelerator& a : Accelerators()) {
        if (a.command != command) continue;
        std::string text;
        if (a.modifiers & KEY_CTRL) text += "Ctrl+";
        if (a.modifiers & KEY_ALT) text += "Alt+";
        if (a.modifiers & KEY_SHIFT) text += "Shift+";
        switch (a.key) {
        case NamedKey::None:
            return text + a.letter;
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
        }
    }
    return "";
}

bool TypesText(const Accelerator& key) {
    return key.letter != 0 && (key.modifiers & (KEY_CTRL | KEY_ALT)) == 0;
}
