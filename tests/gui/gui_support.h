// What the GUI tests share: the program's frame and document, letting its events run,
// sending commands, a user's input through xdotool, pictures of windows and of the
// screen, and acting inside a modal dialog. Every wait here polls for its condition, for
// at most WAIT_SECONDS: the machine may be busy.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include <wx/dialog.h>
#include <wx/gdicmn.h>
#include <wx/image.h>
#include <wx/string.h>
#include <wx/textctrl.h>

class CMainFrame;
class CSkedraDoc;
class LeftViewWindow;
class ItemViewWindow;
class VCollection;
class VNode;
class wxRibbonButtonBar;
class wxMenu;
class wxMenuEvent;

// How long a GUI test waits for anything before it gives up.
constexpr int WAIT_SECONDS = 60;

CMainFrame& Frame();
CSkedraDoc& Doc();
// Lets the program handle what is pending: input, paints, timers.
void Settle();
// Lets the program's events run until the condition holds, for at most WAIT_SECONDS;
// answers whether it held.
bool SettleUntil(const std::function<bool()>& condition);
void SendCommand(int command);
std::string FileBytes(const std::string& path);

// A user at the keyboard and the mouse: a script of shell lines (xdotool commands) run
// beside the program while this thread keeps the program's events going, with the modal
// loops, menus and drags the input starts. Inside the script:
//   handled            waits until the program has handled all the input given so far
//                      and has nothing more urgent to do;
//   until_program NAME waits until the program's condition of that name holds (and the
//                      program has handled the input so far);
//   window_shows RE    waits for a shown window whose title matches, activates it and
//                      waits until the program has handled that.
// Every script ends with `handled`; the whole of it may take WAIT_SECONDS and more.
class User {
  public:
    using Conditions = std::map<std::string, std::function<bool()>>;
    // Starts the script; the program's events must keep going (a modal loop does that)
    // until Done.
    explicit User(const std::string& script, Conditions conditions = {});
    ~User();
    // Keeps the program's events going until the script has ended; true when every step of
    // it succeeded. A modal dialog the script opened and left open is cancelled (and the
    // answer is false), so that no test hangs on it.
    bool Done();

  private:
    struct State;
    std::shared_ptr<State> state;
};

// Runs the script as a User and waits for it.
bool UserDoes(const std::string& script, User::Conditions conditions = {});

// Script lines that type UTF-8 text in any script: the characters the keyboard lacks get
// keys of their own first, so that the keyboard map stays as it is while the text is typed.
std::string TypeText(const std::string& utf8);

// Script lines for the pointer.
std::string At(const wxPoint& screenPoint); // "x y"
std::string MouseTo(const wxPoint& screenPoint);
// A click of the left button there.
std::string ClickAt(const wxPoint& screenPoint);
// A drag by hand: press, move in steps the program follows one by one (GTK starts its
// drag loop on the way and needs motion over the target), release.
std::string DragScript(const wxPoint& from, const wxPoint& to);
// Where a point of the item view's page is on the screen.
wxPoint ViewPointOnScreen(ItemViewWindow& window, int x, int y);
// Where a row of the item view is on the screen: a little into its text.
wxPoint RowOnScreen(const VNode* item);
// The middle of a folder's label in the tree, on the screen; false when it has none.
bool TreeLabelOnScreen(LeftViewWindow& tree, const VNode* folder, wxPoint& where);
// The middle of a window on the screen.
wxPoint CentreOnScreen(wxWindow& window);
// The ribbon's button bar holding the command's button (on any page).
wxRibbonButtonBar* RibbonBarWith(int command);
// The middle of the command's ribbon button on the screen, once its page shows.
bool RibbonButtonOnScreen(int command, wxPoint& where);

// Saves the collection there and opens it as the program's document, shown as a list, with
// the frame active (it has the keyboard).
bool OpenAsList(VCollection& start, const std::string& path);

// The open document's node whose text (as its row describes it) is this, or null.
VNode* Named(const char* text);

// Builds the item view's rows afresh and repaints until they are laid out.
bool RowsLaidOut();

// The control right of the label with this caption in a dialog, or null; the text field
// of a labelled text.
wxWindow* ControlLabelled(wxWindow& dialog, const wxString& caption);
template <class Control = wxTextCtrl>
Control* FieldLabelled(wxWindow& dialog, const wxString& caption) {
    return dynamic_cast<Control*>(ControlLabelled(dialog, caption));
}

// Gives the keyboard to a window of the frame, as a click would, and waits until it has it.
bool GiveFocus(wxWindow* window);

// Presses a key on the modal dialog and waits for the dialog to close.
bool PressUntilClosed(wxDialog& dialog, const std::string& xdotoolKey);

// Repaints the window until the condition holds (the window system may take a few rounds
// to map and size the frame).
bool PaintedUntil(wxWindow& window, const std::function<bool()>& shown);

// Saves what the client area of the window shows on the screen, once it is drawn, as a PNG
// under the build folder; false when the picture could not be taken.
bool SaveWindowPicture(wxWindow& window, const std::string& name);
// The same for the frame, once the window system has painted the ribbon's page (it may
// take a few rounds after a page change).
bool SaveFramePicture(const std::string& name);
// The whole screen, once drawn and steady, as a PNG under the build folder.
bool SaveScreenPicture(const std::string& name);
// Whether the command's buttons and menu entries show it usable now (update-UI's answer).
bool ShownEnabled(int command);
// The ribbon's button of the command as the screen shows it, after update-UI has run.
wxImage RibbonButtonPicture(int command);
bool SamePixels(const wxImage& a, const wxImage& b);

// GTK's double-click time, longer while this lives: a second click at the same spot is then
// a double click however busy the machine is.
class LongDoubleClickTime {
  public:
    LongDoubleClickTime();
    ~LongDoubleClickTime();

  private:
    int saved = 0;
};

// Watches a window for the context menus it opens: the entries of the first one (a greyed
// one marked so), and a picture of the screen once it is drawn. Scripts wait for a menu
// with `until_program menu_shown` and for the picture with `until_program menu_pictured`.
class MenuWatcher {
  public:
    MenuWatcher(wxWindow& watched, const std::string& picture);
    ~MenuWatcher();
    // "menu_shown": the menu opened last is drawn on the screen (and takes keys);
    // "menu_pictured": the picture has been taken.
    User::Conditions Conditions();

    std::vector<wxString> entries;
    std::vector<wxString> keys; // each entry's key as the menu shows it beside it, or ""
    bool pictured = false;

  private:
    void opened(wxMenuEvent& event);

    wxWindow& window;
    std::string pictureName;
    struct Snapper;
    std::unique_ptr<Snapper> snapper;
};

// Runs `act` once the modal dialog with this title shows, active, from inside its modal
// loop, while `open` runs the code that shows it. Answers whether the dialog appeared; a
// dialog still open after `act` is cancelled, so that no test can hang on it.
bool WhileDialogShows(const wxString& title, const std::function<void()>& open,
                      const std::function<void(wxDialog&)>& act);
