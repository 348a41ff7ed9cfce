#include "wx/popup_menu.h"

#include "app/context_menus.h"
#include "model/vcollection.h"
#include "views/skedraView.h"
#include "wx/item_view_window.h"
#include "wx/wx_ids.h"

#include <memory>
#include <wx/menu.h>

#ifdef __WXGTK__
#include <dlfcn.h>
#endif

namespace {

// GTK menus have no default entry of their own: the label is set in bold markup. The
// GTK calls are looked up at run time, as the program is not built against GTK itself.
void showBold(wxMenuItem* entry) {
#ifdef __WXGTK__
    using GetChild = void* (*)(void*);
    using SetMarkup = void (*)(void*, const char*);
    static auto getChild = reinterpret_cast<GetChild>(dlsym(RTLD_DEFAULT, "gtk_bin_get_child"));
    static auto setMarkup =
        reinterpret_cast<SetMarkup>(dlsym(RTLD_DEFAULT, "gtk_label_set_markup_with_mnemonic"));
    void* label = getChild && entry->GetMenuItem() ? getChild(entry->GetMenuItem()) : nullptr;
    if (!label || !setMarkup) return;
    wxString text = wxMenuItem::GetLabelText(entry->GetItemLabel());
    wxString markup = "<b>" + text + "</b>"; // captions hold no markup characters
    setMarkup(label, markup.utf8_str());
#else
    (void)entry;
#endif
}

void addEntries(wxMenu& target, const std::vector<MenuEntry>& entries, const ContextMenu& menu,
                const VNode* item) {
    for (const MenuEntry& e : entries) {
        if (e.caption.empty()) {
            target.AppendSeparator();
        } else if (!e.submenu.empty()) {
            auto* sub = new wxMenu;
            addEntries(*sub, e.submenu, menu, item);
            target.AppendSubMenu(sub, wxString::FromUTF8(e.caption));
        } else {
            std::string label = e.key.empty() ? e.caption : e.caption + "\t" + e.key;
            wxMenuItem* entry = target.Append(WxIdOf(e.command), wxString::FromUTF8(label));
            entry->Enable(!item || ContextEntryEnabled(e.command, *item));
            if (e.command == menu.defaultCommand) showBold(entry);
        }
    }
}

} // namespace

wxMenu* MakeContextMenu(const ContextMenu& menu, const VNode* item) {
    auto* built = new wxMenu;
    addEntries(*built, menu.entries, menu, item);
    return built;
}

void ShowContextMenu(wxWindow& window, const ContextMenu& menu, const VNode* item,
                     const wxPoint& where) {
    std::unique_ptr<wxMenu> built(MakeContextMenu(menu, item));
    window.PopupMenu(built.get(), where);
}

void BindItemViewContextMenu(ItemViewWindow& window) {
    auto open = [&window](wxMouseEvent& event) {
        CSkedraView& view = window.View();
        if (!view.document) return;
        wxPoint at = window.CalcUnscrolledPosition(event.GetPosition());
        if (const ContextMenu* menu = ContextMenuFor(view.OnRButtonDown(at.x, at.y)))
            ShowContextMenu(window, *menu, view.Collection().Selected(), event.GetPosition());
    };
    window.Bind(wxEVT_RIGHT_DOWN, open);
    // A right click soon after the last one, at the same spot, comes as a double click
    // (after a menu closed with Escape, say): it opens the menu all the same.
    window.Bind(wxEVT_RIGHT_DCLICK, open);
}
