#include "wx/main_frame.h"

#include "app/commands.h"
#include "app/ribbon_layout.h"
#include "app/skedradoc.h"
#include "app/web_pages.h"
#include "foundation/qfile.h"
#include "platform/ui.h"
#include "views/skedraView.h"
#include "wx/command_ids.h"
#include "wx/panes.h"
#include "wx/printing.h"
#include "wx/skedra_app.h"

#include <wx/artprov.h>
#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/menu.h>
#include <wx/printdlg.h>
#include <wx/ribbon/bar.h>
#include <wx/ribbon/buttonbar.h>
#include <wx/ribbon/page.h>
#include <wx/ribbon/panel.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace {

CMainFrame* currentFrame = nullptr;

// The framework's commands, as the document manager knows them.
const std::map<int, int> FRAMEWORK_IDS = {
    {CMD_FILE_NEW, wxID_NEW},          {CMD_FILE_OPEN, wxID_OPEN},
    {CMD_FILE_CLOSE, wxID_CLOSE},      {CMD_FILE_SAVE, wxID_SAVE},
    {CMD_FILE_SAVE_AS, wxID_SAVEAS},   {CMD_PRINT, wxID_PRINT},
    {CMD_PRINT_PREVIEW, wxID_PREVIEW},
};

wxBitmap iconFor(int command, const wxSize& size) {
    wxArtID art = wxART_NORMAL_FILE;
    switch (command) {
    case CMD_FILE_NEW:
        art = wxART_NEW;
        break;
    case CMD_FILE_OPEN:
        art = wxART_FILE_OPEN;
        break;
    case CMD_FILE_SAVE:
        art = wxART_FILE_SAVE;
        break;
    case CMD_PRINT_PREVIEW:
        art = wxART_PRINT;
        break;
    case CMD_AS_LIST:
        art = wxART_LIST_VIEW;
        break;
    case CMD_AS_CALENDAR:
        art = wxART_REPORT_VIEW;
        break;
    case CMD_EXPORT_HTML:
        art = wxART_FILE_SAVE_AS;
        break;
    case CMD_PREFERENCES:
        art = wxART_EXECUTABLE_FILE;
        break;
    case CMD_HELP:
        art = wxART_HELP;
        break;
    case CMD_ABOUT:
        art = wxART_INFORMATION;
        break;
    case CMD_DELETE:
        art = wxART_DELETE;
        break;
    case CMD_EDIT:
        art = wxART_EDIT;
        break;
    case CMD_ADD_FOLDER:
        art = wxART_NEW_DIR;
        break;
    case CMD_GOTO_TODAY:
        art = wxART_GO_HOME;
        break;
    case CMD_PREVIOUS_MONTH:
        art = wxART_GO_BACK;
        break;
    case CMD_NEXT_MONTH:
        art = wxART_GO_FORWARD;
        break;
    case CMD_CLEAR_FILTER:
        art = wxART_UNDO;
        break;
    default:
        break;
    }
    wxBitmap bitmap = wxArtProvider::GetBitmap(art, wxART_TOOLBAR, size);
    return bitmap.IsOk() ? bitmap : wxBitmap(size.x, size.y, 32);
}

wxBitmap emptyIcon() {
    wxImage image(16, 16);
    image.InitAlpha();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            image.SetAlpha(x, y, 0);
    return wxBitmap(image);
}

} // namespace

CMainFrame::CMainFrame(wxDocManager* manager, CSkedraDoc* document, const wxString& title)
    : wxDocParentFrame(manager, nullptr, wxID_ANY, title, wxDefaultPosition, wxSize(1200, 800)) {
    currentFrame = this;
    buildFileMenu();

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(buildTopRow(this), 0, wxEXPAND);
    splitter = new wxSplitterWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                    wxSP_LIVE_UPDATE | wxSP_3DSASH);
    leftView = new FolderTreeWindow(splitter, document);
    itemWindow = new ItemViewWindow(splitter, document);
    splitter->SplitVertically(leftView, itemWindow, 180);
    splitter->SetMinimumPaneSize(60);
    sizer->Add(splitter, 1, wxEXPAND);
    SetSizer(sizer);

    CreateStatusBar(1);
    SetStatusText(" ");
    bindCommands();
}

CMainFrame::~CMainFrame() {
    if (currentFrame == this) currentFrame = nullptr;
}

CMainFrame* CMainFrame::Current() {
    return currentFrame;
}

void CMainFrame::buildFileMenu() {
    fileMenu = new wxMenu;
    for (const MenuEntry& entry : ApplicationMenu()) {
        if (entry.caption.empty()) {
            fileMenu->AppendSeparator();
        } else if (entry.caption == "Recent documents") {
            recentMenu = new wxMenu;
            fileMenu->AppendSubMenu(recentMenu, entry.caption);
            if (wxDocManager* manager = GetDocumentManager()) {
                manager->FileHistoryUseMenu(recentMenu);
                manager->FileHistoryAddFilesToMenu(recentMenu);
            }
        } else if (!entry.submenu.empty()) {
            auto* sub = new wxMenu("Print Commands");
            for (const MenuEntry& item : entry.submenu)
                sub->Append(WxIdOf(item.command), item.caption);
            fileMenu->AppendSubMenu(sub, entry.caption);
        } else {
            fileMenu->Append(WxIdOf(entry.command), entry.caption);
        }
    }
}

wxWindow* CMainFrame::buildTopRow(wxWindow* parent) {
    auto* row = new wxPanel(parent);
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    auto* column = new wxBoxSizer(wxVERTICAL);
    // The ribbon of wx has no application button: a menu button stands in for it.
    auto* fileButton = new wxButton(row, wxID_ANY, "File", wxDefaultPosition, wxSize(60, -1));
    fileButton->SetToolTip("File menu");
    fileButton->Bind(wxEVT_BUTTON, [this, fileButton](wxCommandEvent&) {
        fileButton->PopupMenu(fileMenu, 0, fileButton->GetSize().y);
    });
    column->Add(fileButton, 0, wxALL, 2);
    auto* quick = new wxBoxSizer(wxHORIZONTAL);
    for (int command : QuickAccessCommands()) {
        auto* b = new wxBitmapButton(row, WxIdOf(command), iconFor(command, wxSize(16, 16)),
                                     wxDefaultPosition, wxDefaultSize, wxBORDER_NONE);
        b->Bind(wxEVT_BUTTON, [this, command](wxCommandEvent&) {
            wxCommandEvent menu(wxEVT_MENU, WxIdOf(command));
            onCommand(menu);
        });
        quick->Add(b, 0, wxALL, 1);
    }
    column->Add(quick, 0, wxLEFT, 2);
    sizer->Add(column, 0, wxALIGN_TOP);
    ribbon = new wxRibbonBar(row, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                             wxRIBBON_BAR_DEFAULT_STYLE & ~wxRIBBON_BAR_SHOW_PAGE_ICONS);
    buildRibbon();
    sizer->Add(ribbon, 1, wxEXPAND);
    row->SetSizer(sizer);
    return row;
}

void CMainFrame::buildRibbon() {
    for (const RibbonCategory& category : RibbonCategories()) {
        auto* page = new wxRibbonPage(ribbon, wxID_ANY, category.caption);
        for (const RibbonPanel& panelData : category.panels) {
            bool controls = false;
            for (const RibbonElement& e : panelData.elements)
                controls |= e.kind == RibbonKind::ComboBox || e.kind == RibbonKind::Edit;
            auto* panel = new wxRibbonPanel(
                page, wxID_ANY, panelData.caption, wxNullBitmap, wxDefaultPosition, wxDefaultSize,
                controls ? wxRIBBON_PANEL_NO_AUTO_MINIMISE : wxRIBBON_PANEL_DEFAULT_STYLE);
            if (!controls) {
                // Buttons and check boxes: one ribbon button bar.
                auto* bar = new wxRibbonButtonBar(panel);
                for (const RibbonElement& e : panelData.elements) {
                    wxBitmap icon = e.kind == RibbonKind::ButtonWithoutIcon
                                        ? emptyIcon()
                                        : iconFor(e.command, wxSize(16, 16));
                    if (e.kind == RibbonKind::CheckBox) {
                        bar->AddToggleButton(WxIdOf(e.command), e.caption, icon);
                        toggleBars[e.command] = bar;
                    } else
                        bar->AddButton(WxIdOf(e.command), e.caption, icon);
                    captions.emplace(e.command, e.caption);
                }
                bar->Bind(wxEVT_RIBBONBUTTONBAR_CLICKED, &CMainFrame::onRibbonButton, this);
                continue;
            }
            // Ordinary controls sit on a panel of their own, laid out by a sizer.
            auto* sizer = new wxFlexGridSizer(2, 2, 4);
            for (const RibbonElement& e : panelData.elements) {
                captions.emplace(e.command, e.caption);
                switch (e.kind) {
                case RibbonKind::ComboBox: {
                    sizer->Add(new wxStaticText(panel, wxID_ANY, e.caption), 0,
                               wxALIGN_CENTER_VERTICAL);
                    wxArrayString entries;
                    for (const std::string& entry : e.entries)
                        entries.Add(wxString::FromUTF8(entry));
                    auto* choice = new wxChoice(panel, WxIdOf(e.command), wxDefaultPosition,
                                                wxSize(e.width, -1), entries);
                    choice->SetSelection(e.selected);
                    sizer->Add(choice, 0, wxEXPAND);
                    if (e.command == CMD_STATE_FILTER) stateFilterBox = choice;
                    if (e.command == CMD_CONTACT_FILTER) contactFilterBox = choice;
                    if (e.command == CMD_SORT) sortBox = choice;
                    break;
                }
                case RibbonKind::Edit:
                    sizer->Add(new wxStaticText(panel, wxID_ANY, e.caption), 0,
                               wxALIGN_CENTER_VERTICAL);
                    filterTextEdit = new wxTextCtrl(panel, WxIdOf(e.command), "", wxDefaultPosition,
                                                    wxSize(e.width, -1), wxTE_PROCESS_ENTER);
                    sizer->Add(filterTextEdit, 0, wxEXPAND);
                    break;
                case RibbonKind::CheckBox:
                    sizer->AddSpacer(1);
                    hideOthersBox = new wxCheckBox(panel, WxIdOf(e.command), e.caption);
                    sizer->Add(hideOthersBox);
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

void CMainFrame::onRibbonButton(wxRibbonButtonBarEvent& event) {
    // Ribbon clicks come as their own event kind; every command is a menu command here.
    wxCommandEvent command(wxEVT_MENU, event.GetId());
    onCommand(command);
}

void CMainFrame::forwardToDocManager(int wxId) {
    wxCommandEvent command(wxEVT_MENU, wxId);
    GetDocumentManager()->ProcessEvent(command);
}

void CMainFrame::bindCommands() {
    Bind(wxEVT_MENU, &CMainFrame::onCommand, this, WxIdOf(CMD_NEXT_WEEK), WxIdOf(CMD_NEXT_MONTH));
    Bind(wxEVT_MENU, &CMainFrame::onCommand, this, WxIdOf(CMD_FILE_NEW), WxIdOf(CMD_PREVIOUS_PANE));
    Bind(
        wxEVT_MENU, [](wxCommandEvent&) { OpenWebPage(WebPageFor(CMD_HELP), true); }, wxID_HELP);
    Bind(
        wxEVT_CHOICE,
        [](wxCommandEvent& e) { CSkedraDoc::Current()->OnStateFilter(e.GetSelection()); },
        WxIdOf(CMD_STATE_FILTER));
    Bind(
        wxEVT_CHOICE,
        [](wxCommandEvent& e) { CSkedraDoc::Current()->OnContactFilter(e.GetSelection()); },
        WxIdOf(CMD_CONTACT_FILTER));
    Bind(
        wxEVT_CHOICE, [](wxCommandEvent& e) { CSkedraDoc::Current()->OnSort(e.GetSelection()); },
        WxIdOf(CMD_SORT));
    Bind(
        wxEVT_TEXT_ENTER,
        [this](wxCommandEvent&) {
            CSkedraDoc::Current()->OnTextFilter(filterTextEdit->GetValue().utf8_str());
        },
        WxIdOf(CMD_TEXT_FILTER));
    Bind(
        wxEVT_BUTTON,
        [this](wxCommandEvent&) {
            filterTextEdit->ChangeValue("");
            CSkedraDoc::Current()->OnClearFilter();
        },
        WxIdOf(CMD_CLEAR_FILTER));
    Bind(wxEVT_CHECKBOX, &CMainFrame::onCommand, this, WxIdOf(CMD_HIDE_OTHERS));

    std::vector<wxAcceleratorEntry> keys;
    for (const Accelerator& a : Accelerators()) {
        int flags = (a.modifiers & KEY_SHIFT ? wxACCEL_SHIFT : 0) |
                    (a.modifiers & KEY_CTRL ? wxACCEL_CTRL : 0) |
                    (a.modifiers & KEY_ALT ? wxACCEL_ALT : 0);
        int code = a.letter                ? a.letter
                   : a.key == NamedKey::F5 ? WXK_F5
                   : a.key == NamedKey::F6 ? WXK_F6
                                           : 0;
        if (code) keys.emplace_back(flags, code, WxIdOf(a.command));
    }
    keys.emplace_back(wxACCEL_NORMAL, WXK_F1, wxID_HELP);
    SetAcceleratorTable(wxAcceleratorTable((int)keys.size(), keys.data()));

    DragAcceptFiles(true);
    Bind(wxEVT_DROP_FILES, [this](wxDropFilesEvent& e) {
        if (e.GetNumberOfFiles() > 0) OpenDocumentFile(e.GetFiles()[0]);
    });
}

void CMainFrame::onCommand(wxCommandEvent& event) {
    int id = CommandOf(event.GetId());
    if (id == CMD_EXIT) {
        Close();
        return;
    }
    auto framework = FRAMEWORK_IDS.find(id);
    if (framework != FRAMEWORK_IDS.end()) {
        forwardToDocManager(framework->second);
        return;
    }
    CSkedraDoc* doc = CSkedraDoc::Current();
    std::string page = WebPageFor(id);
    if (!page.empty()) {
        OpenWebPage(page);
        return;
    }
    if (unsigned flag = ViewFlagOf(id)) {
        ItemView().ToggleViewFlags(flag);
        return;
    }
    switch (id) {
    case CMD_ABOUT:
        ShowAboutBox(this);
        break;
    case CMD_NEXT_PANE:
    case CMD_PREVIOUS_PANE: // two panes: either key moves to the other one
        if (leftView->HasFocus())
            itemWindow->SetFocus();
        else
            leftView->SetFocus();
        break;
    case CMD_REFILL_TREE:
        RefillTree();
        break;
    case CMD_EXPORT_HTML:
        ItemView().ExportFolder();
        break;
    case CMD_PRINT_DIRECT: {
        // Straight to the printer chosen last, without the dialog.
        wxPrintDialogData data(GetDocumentManager()->GetPageSetupDialogData().GetPrintData());
        wxPrinter printer(&data);
        ItemViewPrintout printout(ItemView());
        printer.Print(this, &printout, false);
        break;
    }
    case CMD_PRINT_SETUP: {
        wxPageSetupDialog dialog(this, &GetDocumentManager()->GetPageSetupDialogData());
        if (dialog.ShowModal() == wxID_OK)
            GetDocumentManager()->GetPageSetupDialogData() = dialog.GetPageSetupDialogData();
        break;
    }
    case CMD_MORE_WEEKS:
        doc->ShowMoreWeeks();
        break;
    case CMD_LESS_WEEKS:
        doc->ShowLessWeeks();
        break;
    case CMD_NEXT_WEEK:
        ItemView().NextWeek();
        break;
    case CMD_PREVIOUS_WEEK:
        ItemView().PreviousWeek();
        break;
    case CMD_GOTO_TODAY:
        ItemView().GotoToday();
        break;
    case CMD_PREVIOUS_MONTH:
        ItemView().ScrollMonth(-1);
        break;
    case CMD_NEXT_MONTH:
        ItemView().ScrollMonth(1);
        break;
    case CMD_AS_LIST:
        ItemView().SetViewType(0);
        break;
    case CMD_AS_CALENDAR:
        ItemView().SetViewType(1);
        break;
    default:
        event.Skip();
        break;
    }
}

void CMainFrame::SetModified(bool modified) {
    if (wxDocument* doc = GetDocumentManager()->GetCurrentDocument()) doc->Modify(modified);
}

CSkedraView& CMainFrame::ItemView() {
    return itemWindow->View();
}

void CMainFrame::UpdateAllViews() {
    SyncViewFlagControls();
    itemWindow->Refresh();
    leftView->Refresh();
}

void CMainFrame::SyncViewFlagControls() {
    for (const RibbonCategory& category : RibbonCategories())
        for (const RibbonPanel& panel : category.panels)
            for (const RibbonElement& e : panel.elements) {
                if (e.kind != RibbonKind::CheckBox) continue;
                bool on = (ItemView().viewFlags & e.viewFlag) != 0;
                auto bar = toggleBars.find(e.command);
                if (bar != toggleBars.end())
                    bar->second->ToggleButton(WxIdOf(e.command), on);
                else if (hideOthersBox && e.command == CMD_HIDE_OTHERS)
                    hideOthersBox->SetValue(on);
            }
}

void CMainFrame::RefillTree() {
    leftView->Refill();
}

int CMainFrame::ContactListSelection() {
    return contactFilterBox ? contactFilterBox->GetSelection() : 0;
}

void CMainFrame::SetContactList(const std::vector<std::string>& entries, int selected) {
    if (!contactFilterBox) return;
    contactFilterBox->Clear();
    for (const std::string& entry : entries)
        contactFilterBox->Append(wxString::FromUTF8(entry));
    contactFilterBox->SetSelection(selected);
}

bool CMainFrame::OpenDocumentFile(const wxString& path) {
    // wx would report a missing file in its own words before the document sees it.
    if (QFileSize(path.utf8_str()) < 0) {
        CSkedraDoc::ReportUnreadable(path.utf8_str());
        return false;
    }
    return GetDocumentManager()->CreateDocument(path, wxDOC_SILENT) != nullptr;
}

void CMainFrame::DocumentChanged() {
    RefillTree();
    UpdateAllViews();
}
