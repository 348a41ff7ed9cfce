// What commands ask of the window around the document: boxes, printing, focus and the
// end of the program. The main frame implements it; tests record the calls.
#pragma once

#include <string>

class WindowSync;

class CommandUI {
  public:
    virtual ~CommandUI() = default;
    virtual void ShowAbout() = 0;
    virtual void PrintDirect() = 0; // to the printer chosen last, without the dialog
    virtual void PrintSetup() = 0;
    virtual void SwitchPane() = 0; // two panes: either key moves to the other one
    virtual void Exit() = 0;
    virtual void ClearFilterText() = 0; // the ribbon's "Filter by text" field
    // The server dialog: the open document served to browsers while it is open.
    virtual void ShowRemoteView() = 0;
    // The user guide shipped with the program, in its own help window (offline).
    virtual void ShowUserGuide() {}
    // The keyboard to the ribbon's "Filter by text" field (Ctrl+F).
    virtual void FocusFilterText() {}
    // The keyboard to the item view, so that its keys work at once after a view was
    // chosen on the ribbon.
    virtual void FocusItemView() {}
    // Asks where to save an export, in a file chooser opening in this folder with this
    // name; "" when the user cancels.
    virtual std::string ChooseExportFile(const std::string& folder, const std::string& name) {
        (void)folder;
        (void)name;
        return "";
    }
    // A text field has the keyboard (the filter box, a label being edited): keys such as
    // Ctrl+Z are its own then. Without a window there is none.
    virtual bool TextFieldHasFocus() { return false; }
    // A file chosen by the user (to write when forSaving), or empty when none was.
    // wildcard: "Description (*.ext)|*.ext|..."; suggested: the name the chooser offers.
    virtual std::string ChooseFile(bool forSaving, const std::string& caption,
                                   const std::string& wildcard, const std::string& suggested) {
        (void)forSaving, (void)caption, (void)wildcard, (void)suggested;
        return {};
    }
    // The open document's sync while the window runs; none without a window.
    virtual WindowSync* Sync() { return nullptr; }
};
