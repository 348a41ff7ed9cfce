// CMainFrame: the main window: the ribbon (with the file menu and quick-access buttons
// at its left), the status bar and the two panes.
#pragma once

#include "platform/document_host.h"

#include <map>
#include <string>
#include <wx/docview.h>

class FolderTreeWindow;
class ItemViewWindow;
class CSkedraView;
class CSkedraDoc;
class wxChoice;
class wxTextCtrl;
class wxCheckBox;
class wxRibbonBar;
class wxRibbonButtonBarEvent;
class wxRibbonButtonBar;
class wxSplitterWindow;

class CMainFrame : public wxDocParentFrame, public DocumentHost {
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

    // Opens a document file (a dropped one, the command line's); an unreadable file is
    // reported in our own words and changes nothing.
    bool OpenDocumentFile(const wxString& path);

    // Makes the ribbon's check boxes show their view flags.
    void SyncViewFlagControls();

    // A new or opened document: fresh panes.
    void DocumentChanged();

    FolderTreeWindow* LeftView() { return leftView; }
    ItemViewWindow* ItemWindow() { return itemWindow; }
    CSkedraView& ItemView();
    wxRibbonBar* Ribbon() { return ribbon; }
    wxChoice* StateFilterBox() { return stateFilterBox; }
    wxTextCtrl* FilterTextEdit() { return filterTextEdit; }
    wxChoice* ContactFilterBox() { return contactFilterBox; }
    wxChoice* SortBox() { return sortBox; }
    // Caption of every ribbon element by its command, as built.
    const std::multimap<int, std::string>& RibbonCaptions() const { return captions; }
    wxMenu* FileMenu() { return fileMenu; }

  private:
    void buildFileMenu();
    wxWindow* buildTopRow(wxWindow* parent);
    void buildRibbon();
    void bindCommands();
    void onRibbonButton(wxRibbonButtonBarEvent& event);
    void onCommand(wxCommandEvent& event);
    void forwardToDocManager(int wxId);

    wxRibbonBar* ribbon = nullptr;
    wxSplitterWindow* splitter = nullptr;
    FolderTreeWindow* leftView = nullptr;
    ItemViewWindow* itemWindow = nullptr;
    wxChoice* stateFilterBox = nullptr;
    wxTextCtrl* filterTextEdit = nullptr;
    wxChoice* contactFilterBox = nullptr;
    wxChoice* sortBox = nullptr;
    wxCheckBox* hideOthersBox = nullptr;
    wxMenu* fileMenu = nullptr;
    wxMenu* recentMenu = nullptr;
    std::multimap<int, std::string> captions;
    std::map<int, wxRibbonButtonBar*> toggleBars; // command -> the bar holding its toggle
};
