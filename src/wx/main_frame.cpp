#include "wx/main_frame.h"

#include "app/commands/command_table.h"
#include "app/document_files.h"
#include "app/install_layout.h"
#include "app/ribbon_layout.h"
#include "app/skedraDoc.h"
#include "app/window_sync.h"
#include "foundation/qregularfile.h"
#include "platform/ui.h"
#include "views/skedraView.h"
#include "wx/about_box.h"
#include "wx/command_router.h"
#include "wx/dialogs/dlg_server.h"
#include "wx/item_view_window.h"
#include "wx/key_codes.h"
#include "wx/left_view_window.h"
#include "wx/printing.h"
#include "wx/program_icon.h"
#include "wx/reminder_timer.h"
#include "wx/skedra_app.h"
#include "wx/sync_services.h"
#include "wx/text_convert.h"
#include "wx/vantry_document.h"
#include "wx/wx_ids.h"

#include <wx/choice.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/html/helpctrl.h>
#include <wx/printdlg.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/stdpaths.h>
#include <wx/textctrl.h>

namespace {
CMainFrame* currentFrame = nullptr;
// Long enough that the list is not refiltered between two keys of a word.
constexpr int FILTER_TYPING_PAUSE_MS = 300;
// How often the sync looks at its interval (and at a result waiting for a dialog).
constexpr int SYNC_TICK_MILLISECONDS = 5000;
// How late after midnight the views may still show yesterday's today.
constexpr int CLOCK_TICK_MILLISECONDS = 60000;
} // namespace

CMainFrame::CMainFrame(wxDocManager* manager, CSkedraDoc* doc, const wxString& title)
    : wxDocParentFrame(manager, nullptr, wxID_ANY, title, wxDefaultPosition, wxSize(1200, 800)),
      document(doc) {
    currentFrame = this;
    reminders = std::make_unique<ReminderTimer>(this, *document);
    SetIcons(ProgramIcons());
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(BuildRibbonRow(this, manager, controls), 0, wxEXPAND);
    auto* splitter = new wxSplitterWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                          wxSP_LIVE_UPDATE | wxSP_3DSASH);
    leftView = new LeftViewWindow(splitter, document);
    itemWindow = new ItemViewWindow(splitter, document);
    itemWindow->focusFilterText = [this] { FocusFilterText(); };
    splitter->SplitVertically(leftView, itemWindow, 180);
    splitter->SetMinimumPaneSize(60);
    sizer->Add(splitter, 1, wxEXPAND);
    SetSizer(sizer);

    CreateStatusBar(1);
    SetStatusText(" ");
    // Every part gets its place in the frame's size now, before GTK first allocates it:
    // the panels otherwise start at wx's default 20 by 20 pixels, too small for the File
    // button and the panes' scroll bars, which GTK reports on the terminal at every start.
    Layout();
    router = std::make_unique<CommandRouter>(this, manager, [this] { return Context(); });
    bindKeys();
    bindFilterTyping();
    sync = std::make_unique<WindowSync>(*document, WxSyncServices(*this));
    syncTimer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { sync->Tick(); });
    syncTimer.Start(SYNC_TICK_MILLISECONDS);
    clockTimer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { document->ClockTicked(); });
    clockTimer.Start(CLOCK_TICK_MILLISECONDS);
    DragAcceptFiles(true);
    Bind(wxEVT_DROP_FILES, [this](wxDropFilesEvent& e) {
        if (e.GetNumberOfFiles() > 0) OpenDocumentFile(e.GetFiles()[0]);
    });
}

CMainFrame::~CMainFrame() {
    syncTimer.Stop();
    clockTimer.Stop();
    sync.reset(); // waits for a running exchange, which it cancels
    if (currentFrame == this) currentFrame = nullptr;
}

CMainFrame* CMainFrame::Current() {
    return currentFrame;
}

CommandContext CMainFrame::Context() {
    CommandContext c;
    c.document = document;
    c.view = &ItemView();
    c.tree = &leftView->Tree();
    c.ui = this;
    if (controls.filterText) c.text = ToUtf8(controls.filterText->GetValue());
    return c;
}

void CMainFrame::bindKeys() {
    std::vector<wxAcceleratorEntry> keys;
    for (const Accelerator& a : Accelerators()) {
        int flags = (a.modifiers & KEY_SHIFT ? wxACCEL_SHIFT : 0) |
                    (a.modifiers & KEY_CTRL ? wxACCEL_CTRL : 0) |
                    (a.modifiers & KEY_ALT ? wxACCEL_ALT : 0);
        int code = a.letter ? a.letter : WxKeyCode(a.key);
        if (TypesText(a))
            typedKeys.emplace_back(flags, code, WxIdOf(a.command));
        else if (code)
            keys.emplace_back(flags, code, WxIdOf(a.command));
    }
    SetAcceleratorTable(wxAcceleratorTable((int)keys.size(), keys.data()));
    // wx tries accelerators before the focused control sees a key, so Shift+D would never
    // reach the filter field or a folder's label: those keys are looked at here, first.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (!TextFieldHasFocus()) {
            int flags = event.GetModifiers() & (wxMOD_SHIFT | wxMOD_CONTROL | wxMOD_ALT);
            for (const wxAcceleratorEntry& key : typedKeys)
                if (key.GetKeyCode() == event.GetKeyCode() && key.GetFlags() == flags) {
                    wxCommandEvent command(wxEVT_MENU, key.GetCommand());
                    command.SetEventObject(this);
                    ProcessWindowEvent(command);
                    return;
                }
        }
        event.Skip();
    });
}

void CMainFrame::FocusFilterText() {
    if (!controls.filterText) return;
    controls.filterText->SetFocus();
    controls.filterText->SelectAll();
}

void CMainFrame::FocusItemView() {
    // After the ribbon's own handling of the click, which may take the keyboard itself.
    CallAfter([this] { itemWindow->SetFocus(); });
}

void CMainFrame::ShowUserGuide() {
    if (!help) {
        wxString folder = wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath();
        std::string book = DataDirectory(std::string(folder.utf8_str())) + "/help/vantry.hhp";
        help = std::make_unique<wxHtmlHelpController>(wxHF_DEFAULT_STYLE, this);
        if (!help->AddBook(wxFileName(wxString::FromUTF8(book)))) {
            help.reset();
            ShowMessage(("Can't open the user guide (" + book + ")").c_str(), "Error",
                        MsgButtons::OK, MsgIcon::Error);
            return;
        }
    }
    help->Display("index.html");
}

void CMainFrame::runCommand(int command) {
    wxCommandEvent event(wxEVT_MENU, WxIdOf(command));
    event.SetEventObject(this);
    ProcessWindowEvent(event);
}

void CMainFrame::bindFilterTyping() {
    if (!controls.filterText) return;
    filterPause.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { runCommand(CMD_TEXT_FILTER); });
    controls.filterText->Bind(wxEVT_TEXT, [this](wxCommandEvent& event) {
        filterPause.StartOnce(FILTER_TYPING_PAUSE_MS);
        event.Skip();
    });
    controls.filterText->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent& event) {
        filterPause.Stop();
        event.Skip();
    });
    controls.filterText->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() != WXK_ESCAPE || event.HasAnyModifiers()) {
            event.Skip();
            return;
        }
        filterPause.Stop();
        runCommand(CMD_CLEAR_FILTER);
    });
}

std::string CMainFrame::ChooseExportFile(const std::string& folder, const std::string& name) {
    wxFileDialog chooser(this, "Export HTML", wxString::FromUTF8(folder), wxString::FromUTF8(name),
                         "Web pages (*.htm;*.html)|*.htm;*.html|All files|*",
                         wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (chooser.ShowModal() != wxID_OK) return "";
    return std::string(chooser.GetPath().utf8_str());
}

void CMainFrame::ShowAbout() {
    ShowAboutBox(this);
}

void CMainFrame::PrintDirect() {
    // Straight to the printer chosen last, without the dialog.
    wxPrintDialogData data(GetDocumentManager()->GetPageSetupDialogData().GetPrintData());
    wxPrinter printer(&data);
    ItemViewPrintout printout(ItemView());
    bool printed = printer.Print(this, &printout, false);
    ReportQuickPrint(printed, wxPrinter::GetLastError());
}

void CMainFrame::PrintSetup() {
    wxPageSetupDialog dialog(this, &GetDocumentManager()->GetPageSetupDialogData());
    if (dialog.ShowModal() == wxID_OK)
        GetDocumentManager()->GetPageSetupDialogData() = dialog.GetPageSetupDialogData();
}

void CMainFrame::SwitchPane() {
    if (leftView->HasFocus())
        itemWindow->SetFocus();
    else
        leftView->SetFocus();
}

void CMainFrame::Exit() {
    Close();
}

void CMainFrame::ClearFilterText() {
    if (controls.filterText) controls.filterText->ChangeValue("");
}

void CMainFrame::ShowRemoteView() {
    DlgServer dialog(
        this, [this] { return ItemView().Viewer(); },
        [this] { return document->ChangeSequence(); });
    dialog.ShowModal();
}

bool CMainFrame::TextFieldHasFocus() {
    return dynamic_cast<wxTextEntry*>(wxWindow::FindFocus()) != nullptr;
}

std::string CMainFrame::ChooseFile(bool forSaving, const std::string& caption,
                                   const std::string& wildcard, const std::string& suggested) {
    long style = forSaving ? wxFD_SAVE | wxFD_OVERWRITE_PROMPT : wxFD_OPEN | wxFD_FILE_MUST_EXIST;
    wxFileDialog dialog(this, wxString::FromUTF8(caption), "", wxString::FromUTF8(suggested),
                        wxString::FromUTF8(wildcard), style);
    if (dialog.ShowModal() != wxID_OK) return {};
    wxString path = dialog.GetPath();
    // GTK reports a name given before its chooser was shown (as the tests give it) only
    // later; wx keeps its own copy.
    if (path.empty()) path = dialog.wxFileDialogBase::GetPath();
    return std::string(path.fn_str()); // the path's bytes, as the system has them
}

void CMainFrame::SetModified(bool modified) {
    if (wxDocument* doc = GetDocumentManager()->GetCurrentDocument()) doc->Modify(modified);
}

CSkedraView& CMainFrame::ItemView() {
    return itemWindow->View();
}

void CMainFrame::UpdateAllViews() {
    reminders->DocumentChanged();
    CommandContext c = Context();
    SyncRibbonChecks(controls, [&c](int command) { return CommandChecked(command, c); });
    itemWindow->Refresh();
    leftView->Refresh();
}

void CMainFrame::RefillTree() {
    leftView->Refill();
}

int CMainFrame::ContactListSelection() {
    return controls.contactFilter ? controls.contactFilter->GetSelection() : 0;
}

void CMainFrame::SetContactList(const std::vector<std::string>& entries, int selected) {
    if (!controls.contactFilter) return;
    controls.contactFilter->Clear();
    for (const std::string& entry : entries)
        controls.contactFilter->Append(ToWx(entry));
    controls.contactFilter->SetSelection(selected);
}

bool CMainFrame::OpenDocumentFile(const wxString& path) {
    // wx would report a missing file in its own words before the document sees it; a
    // directory, a FIFO or a device is refused before anything reads from it.
    if (!QIsReadableRegularFile(path.fn_str())) {
        ReportUnreadable(DisplayFileName(path).utf8_str());
        return false;
    }
    return GetDocumentManager()->CreateDocument(path, wxDOC_SILENT) != nullptr;
}

void CMainFrame::DocumentChanged() {
    RefillTree();
    UpdateAllViews();
}
