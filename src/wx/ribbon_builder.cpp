#include "wx/ribbon_builder.h"

#include "app/commands/command_table.h"
#include "app/ribbon_layout.h"
#include "platform/command_ids.h"
#include "wx/svg_icons.h"
#include "wx/wx_ids.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/control.h>
#include <wx/docview.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/ribbon/bar.h>
#include <wx/ribbon/buttonbar.h>
#include <wx/ribbon/page.h>
#include <wx/ribbon/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <cstring>

namespace {

// The picture a command's row names, drawn from its SVG for this window's screen; a plain
// page for a row without one.
wxBitmap iconFor(int command, const wxWindow& window) {
    const char* name = CommandIcon(command);
    return SvgIconFor(name ? name : "page", window);
}

// A button without a picture keeps the room of one.
wxBitmap emptyIcon(const wxWindow& window) {
    wxBitmap like = iconFor(0, window);
    wxImage image(like.GetWidth(), like.GetHeight());
    image.InitAlpha();
    std::memset(image.GetAlpha(), 0, (size_t)image.GetWidth() * image.GetHeight());
    wxBitmap empty(image);
    empty.SetScaleFactor(like.GetScaleFactor());
    return empty;
}

// A menu caption with the command's key after a tab: GTK shows it at the right.
wxString withKey(const std::string& caption, int command) {
    std::string key = CommandKeyText(command);
    return wxString::FromUTF8(key.empty() ? caption : caption + "\t" + key);
}

wxMenu* buildFileMenu(wxDocManager* manager) {
    auto* fileMenu = new wxMenu;
    for (const MenuEntry& entry : ApplicationMenu()) {
        if (entry.caption.empty()) {
            fileMenu->AppendSeparator();
        } else if (entry.caption == "Recent documents") {
            auto* recentMenu = new wxMenu;
            fileMenu->AppendSubMenu(recentMenu, entry.caption);
            if (manager) {
                manager->FileHistoryUseMenu(recentMenu);
                manager->FileHistoryAddFilesToMenu(recentMenu);
            }
        } else if (!entry.submenu.empty()) {
            auto* sub = new wxMenu;
            for (const MenuEntry& item : entry.submenu)
                sub->Append(WxIdOf(item.command), item.caption + "\n" + item.description,
                            item.description);
            if (entry.command == 0) {
                fileMenu->AppendSubMenu(sub, entry.caption); // a sub-menu and nothing else
                continue;
            }
            // A menu entry that opens a sub-menu cannot run a command of its own: the entry
            // itself prints, and its sub-menu follows it. Each command shows what it does.
            fileMenu->Append(WxIdOf(entry.command), entry.caption, entry.description);
            fileMenu->AppendSubMenu(sub, PRINT_COMMANDS_LABEL);
        } else {
            fileMenu->Append(WxIdOf(entry.command), withKey(entry.caption, entry.command));
        }
    }
    return fileMenu;
}

void buildRibbon(wxRibbonBar* ribbon, RibbonControls& controls) {
    for (const RibbonCategory& category : RibbonCategories()) {
        auto* page = new wxRibbonPage(ribbon, wxID_ANY, category.caption);
        for (const RibbonPanel& panelData : category.panels) {
            bool ordinary = false;
            for (const RibbonElement& e : panelData.elements)
                ordinary |= e.kind == RibbonKind::ComboBox || e.kind == RibbonKind::Edit;
            auto* panel = new wxRibbonPanel(
                page, wxID_ANY, panelData.caption, wxNullBitmap, wxDefaultPosition, wxDefaultSize,
                ordinary ? wxRIBBON_PANEL_NO_AUTO_MINIMISE : wxRIBBON_PANEL_DEFAULT_STYLE);
            if (!ordinary) {
                // Buttons and check boxes: one ribbon button bar.
                auto* bar = new wxRibbonButtonBar(panel);
                for (const RibbonElement& e : panelData.elements) {
                    wxBitmap icon = e.kind == RibbonKind::ButtonWithoutIcon
                                        ? emptyIcon(*ribbon)
                                        : iconFor(e.command, *ribbon);
                    if (e.kind == RibbonKind::CheckBox) {
                        bar->AddToggleButton(WxIdOf(e.command), e.caption, icon);
                        controls.toggleBars[e.command] = bar;
                    } else
                        bar->AddButton(WxIdOf(e.command), e.caption, icon);
                    controls.captions.emplace(e.command, e.caption);
                }
                continue;
            }
            // Ordinary controls sit on a panel of their own, laid out by a sizer.
            auto* sizer = new wxFlexGridSizer(2, 2, 4);
            for (const RibbonElement& e : panelData.elements) {
                controls.captions.emplace(e.command, e.caption);
                switch (e.kind) {
                case RibbonKind::ComboBox: {
                    sizer->Add(new wxStaticText(panel, wxID_ANY, e.caption), 0,
                               wxALIGN_CENTER_VERTICAL);
                    wxArrayString entries;
                    // The entries are written for menus, where "&&" stands for one "&":
                    // a choice shows its text as it is.
                    for (const std::string& entry : e.entries)
                        entries.Add(wxControl::RemoveMnemonics(wxString::FromUTF8(entry)));
                    auto* choice = new wxChoice(panel, WxIdOf(e.command), wxDefaultPosition,
                                                wxSize(e.width, -1), entries);
                    choice->SetSelection(e.selected);
                    sizer->Add(choice, 0, wxEXPAND);
                    if (e.command == CMD_STATE_FILTER) controls.stateFilter = choice;
                    if (e.command == CMD_CONTACT_FILTER) controls.contactFilter = choice;
                    if (e.command == CMD_SORT) controls.sort = choice;
                    break;
                }
                case RibbonKind::Edit:
                    sizer->Add(new wxStaticText(panel, wxID_ANY, e.caption), 0,
                               wxALIGN_CENTER_VERTICAL);
                    controls.filterText =
                        new wxTextCtrl(panel, WxIdOf(e.command), "", wxDefaultPosition,
                                       wxSize(e.width, -1), wxTE_PROCESS_ENTER);
                    sizer->Add(controls.filterText, 0, wxEXPAND);
                    break;
                case RibbonKind::CheckBox:
                    sizer->AddSpacer(1);
                    sizer->Add(controls.checkBoxes[e.command] =
                                   new wxCheckBox(panel, WxIdOf(e.command), e.caption));
                    break;
                default:
                    sizer->AddSpacer(1);
                    sizer->Add(new wxButton(panel, WxIdOf(e.command), e.caption, wxDefaultPosition,
                                            wxDefaultSize, wxBU_EXACTFIT));
                    break;
                }
            }
            panel->SetSizer(sizer);
        }
    }
    ribbon->Realize();
}

} // namespace

wxWindow* BuildRibbonRow(wxWindow* parent, wxDocManager* manager, RibbonControls& controls) {
    wxMenu* fileMenu = controls.fileMenu = buildFileMenu(manager);
    auto* row = new wxPanel(parent);
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    auto* column = new wxBoxSizer(wxVERTICAL);
    // The ribbon of wx has no application button: a menu button stands in for it.
    auto* fileButton = new wxButton(row, wxID_ANY, "File", wxDefaultPosition, wxSize(60, -1));
    fileButton->SetToolTip("File menu");
    fileButton->Bind(wxEVT_BUTTON, [fileButton, fileMenu](wxCommandEvent&) {
        fileButton->PopupMenu(fileMenu, 0, fileButton->GetSize().y);
    });
    column->Add(fileButton, 0, wxALL, 2);
    auto* quick = new wxBoxSizer(wxHORIZONTAL);
    for (int command : QuickAccessCommands()) {
        auto* b = new wxBitmapButton(row, WxIdOf(command), iconFor(command, *row),
                                     wxDefaultPosition, wxDefaultSize, wxBORDER_NONE);
        controls.quickAccess[command] = b;
        quick->Add(b, 0, wxALL, 1);
    }
    column->Add(quick, 0, wxLEFT, 2);
    sizer->Add(column, 0, wxALIGN_TOP);
    auto* ribbon = controls.ribbon =
        new wxRibbonBar(row, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                        wxRIBBON_BAR_DEFAULT_STYLE & ~wxRIBBON_BAR_SHOW_PAGE_ICONS);
    buildRibbon(ribbon, controls);
    sizer->Add(ribbon, 1, wxEXPAND);
    row->SetSizer(sizer);
    return row;
}

void SyncRibbonChecks(RibbonControls& controls, const std::function<bool(int)>& checked) {
    for (const RibbonCategory& category : RibbonCategories())
        for (const RibbonPanel& panel : category.panels)
            for (const RibbonElement& e : panel.elements) {
                if (e.kind != RibbonKind::CheckBox) continue;
                bool on = checked(e.command);
                auto bar = controls.toggleBars.find(e.command);
                if (bar != controls.toggleBars.end())
                    bar->second->ToggleButton(WxIdOf(e.command), on);
                else if (auto box = controls.checkBoxes.find(e.command);
                         box != controls.checkBoxes.end())
                    box->second->SetValue(on);
            }
}
