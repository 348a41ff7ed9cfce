// CMainFrame: the main window: the ribbon row (built by ribbon_builder), the status bar
// and the two panes in a splitter. It wires them together, stands in for the windows
// when the document refreshes (DocumentHost) and for the window services the commands
// ask for (CommandUI); the commands themselves live in the command table.
#pragma once

#include "app/commands/command_ui.h"
#include "platform/document_host.h"
#include "wx/ribbon_builder.h"

#include <memory>
#include <vector>
#include <wx/accel.h>
#include <wx/docview.h>
#include <wx/timer.h>

class CommandRouter;
class ReminderTimer;
class wxHtmlHelpController;
class CSkedraDoc;
class CSkedraView;
class LeftViewWindow;
class ItemViewWindow;
class WindowSync;
struct CommandContext;

class CMainFrame : public wxDocParentFrame, public DocumentHost, public CommandUI {
  public:
    CMainFrame(wxDocManager* manager, CSkedraDoc* document, const wxString& title);
    ~CMainFrame() override;
    static CMainFrame* Current();

    // DocumentHost
    void SetModified(bool modified) override;
    void UpdateAllViews() override;
    void RefillTree() override;
    int ContactListSelection() override;
    void SetContactList(const std::vector<std::string>& entries, int selected) override;

    // CommandUI
    void ShowAbout() override;
    void PrintDirect() override;
    void PrintSetup() override;
    void SwitchPane() override;
    void Exit() override;
    void ClearFilterText() override;
    void ShowRemoteView() override;
    void ShowUserGuide() override;
    void FocusFilterText() override;
    void FocusItemView() override;
    std::string ChooseExportFile(const std::string& folder, const std::string& name) override;
    bool TextFieldHasFocus() override;
    std::string ChooseFile(bool forSaving, const std::string& caption,
                           const std::string& wildcard, const std::string& suggested) override;
    WindowSync* Sync() override { return sync.get(); }

    // Opens a document file (a dropped one, the command line's); an unreadable file is
    // reported in our own words and changes nothing.
    bool OpenDocumentFile(const wxString& path);

    // A new or opened document: fresh panes.
    void DocumentChanged();

    // What the commands act on: the document, the panes and this window.
    CommandContext Context();

    LeftViewWindow* LeftView() { return leftView; }
    ItemViewWindow* ItemWindow() { return itemWindow; }
    CSkedraView& ItemView();
    wxRibbonBar* Ribbon() { return controls.ribbon; }
    wxChoice* StateFilterBox() { return controls.stateFilter; }
    wxTextCtrl* FilterTextEdit() { return controls.filterText; }
    wxChoice* ContactFilterBox() { return controls.contactFilter; }
    wxChoice* SortBox() { return controls.sort; }
    // Caption of every ribbon element by its command, as built.
    const std::multimap<int, std::string>& RibbonCaptions() const { return controls.captions; }
    wxMenu* FileMenu() { return controls.fileMenu; }
    wxHtmlHelpController* HelpController() { return help.get(); }

  private:
    void bindKeys();
    void bindFilterTyping();
    void runCommand(int command);

    CSkedraDoc* document;
    RibbonControls controls;
    LeftViewWindow* leftView = nullptr;
    ItemViewWindow* itemWindow = nullptr;
    std::unique_ptr<CommandRouter> router;
    std::unique_ptr<ReminderTimer> reminders;
    // Keys that type text in a text field and are commands elsewhere.
    std::vector<wxAcceleratorEntry> typedKeys;
    // The user guide's window, made when it is first asked for.
    std::unique_ptr<wxHtmlHelpController> help;
    // The filter applies once the user pauses typing.
    wxTimer filterPause;
    // The document's sync with its calendar server; the timer lets it see its interval.
    std::unique_ptr<WindowSync> sync;
    wxTimer syncTimer;
    // Lets the document see a new day come, so the views show the new today at once.
    wxTimer clockTimer;
};
