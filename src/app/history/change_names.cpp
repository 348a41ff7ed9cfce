#include "app/history/change_names.h"

#include "app/commands/command_ids.h"
#include "app/context_menus.h"
#include "app/history/document_change.h"
#include "app/ribbon_layout.h"
#include "model/vcollection.h"

#include <map>

namespace {

// Commands whose caption alone does not say what they change.
const std::map<int, const char*> NAMES = {
    {CMD_ADD_FOLDER, "Add folder"},
    {CMD_ADD_TODO, "Add to-do"},
    {CMD_ADD_ACTION, "Add action"},
    {CMD_ADD_AGREEMENT, "Add agreement"},
    {CMD_ADD_LOCATION, "Add location"},
    {CMD_ADD_FACT, "Add fact"},
    {CMD_ADD_CONTACT, "Add contact"},
    {CMD_ADD_CALL, "Add to-call"},
    {CMD_ADD_MAIL, "Add to-mail"},
    {CMD_ADD_PAYMENT, "Add payment"},
    {CMD_EXPORT_ICALENDAR, "Export iCalendar"},
    {CMD_IMPORT_ICALENDAR, "Import iCalendar"},
};

// "&Edit...\tF2" reads "Edit".
std::string plain(const std::string& caption) {
    std::string text;
    for (char ch : caption.substr(0, caption.find('\t')))
        if (ch != '&') text += ch;
    while (!text.empty() && (text.back() == '.' || text.back() == ' '))
        text.pop_back();
    return text;
}

std::string menuCaption(const std::vector<MenuEntry>& entries, int command) {
    for (const MenuEntry& e : entries) {
        if (e.command == command && !e.caption.empty()) return e.caption;
        std::string below = menuCaption(e.submenu, command);
        if (!below.empty()) return below;
    }
    return "";
}

std::string nameOf(VCollection& c, std::uint32_t serial) {
    for (VNode* n = c.root; n; n = n->next)
        if (n->Serial() == serial) return n == c.root ? "All folders" : n->name.Text();
    return "";
}

} // namespace

std::string CommandChangeName(int command) {
    auto named = NAMES.find(command);
    if (named != NAMES.end()) return named->second;
    for (const RibbonCategory& category : RibbonCategories())
        for (const RibbonPanel& panel : category.panels)
            for (const RibbonElement& e : panel.elements)
                if (e.command == command) return plain(e.caption);
    std::string caption = menuCaption(ApplicationMenu(), command);
    for (ContextMenuKind kind :
         {ContextMenuKind::Folder, ContextMenuKind::Location, ContextMenuKind::Todo,
          ContextMenuKind::Action, ContextMenuKind::PlainItem, ContextMenuKind::AddNewItem,
          ContextMenuKind::FolderTree})
        if (caption.empty()) caption = menuCaption(ContextMenuOf(kind).entries, command);
    return plain(caption);
}

std::string DescribeChange(const DocumentChange& change, VCollection& collection) {
    if (!change.ChangesNodes()) return "Date format";
    if (!change.added.empty() && change.removed.empty()) return "Add";
    if (!change.removed.empty() && change.added.empty()) return "Delete";
    std::uint32_t target = 0;
    for (size_t i = 0; i < change.before.size(); ++i)
        if (change.before[i].parentSerial != change.after[i].parentSerial) {
            if (target && target != change.after[i].parentSerial) return "Change";
            target = change.after[i].parentSerial;
        }
    if (target && change.added.empty() && change.removed.empty())
        return "Move to '" + nameOf(collection, target) + "'";
    return "Change";
}
