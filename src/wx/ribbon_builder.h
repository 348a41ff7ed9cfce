// Builds the row above the panes from the ribbon's data: the "File" menu button, the
// quick-access buttons and the ribbon with its pages, panels, buttons and controls.
// Every element carries its command's wx id; the command router takes it from there.
#pragma once

#include <functional>
#include <map>
#include <string>

class wxBitmapButton;
class wxCheckBox;
class wxChoice;
class wxDocManager;
class wxMenu;
class wxRibbonBar;
class wxRibbonButtonBar;
class wxTextCtrl;
class wxWindow;

struct RibbonControls {
    wxRibbonBar* ribbon = nullptr;
    wxChoice* stateFilter = nullptr;
    wxChoice* contactFilter = nullptr;
    wxChoice* sort = nullptr;
    wxTextCtrl* filterText = nullptr;
    wxMenu* fileMenu = nullptr;
    std::multimap<int, std::string> captions;     // caption of every element by its command
    std::map<int, wxRibbonButtonBar*> toggleBars; // command -> the bar holding its toggle
    std::map<int, wxCheckBox*> checkBoxes;        // command -> its check box on a panel
    std::map<int, wxBitmapButton*> quickAccess;   // command -> its quick-access button
};

// The row, a child of parent; the file menu lists the manager's recent documents.
wxWindow* BuildRibbonRow(wxWindow* parent, wxDocManager* manager, RibbonControls& controls);

// Makes the ribbon's check boxes show checked(command).
void SyncRibbonChecks(RibbonControls& controls, const std::function<bool(int)>& checked);
