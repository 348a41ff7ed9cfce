// What the GUI tests share: the program's frame and document, letting pending events
// run, sending commands, pictures of windows, and acting inside a modal dialog.
#pragma once

#include <functional>
#include <string>
#include <wx/dialog.h>
#include <wx/string.h>

class CMainFrame;
class CSkedraDoc;

CMainFrame& Frame();
CSkedraDoc& Doc();
void Settle();
void SendCommand(int command);
std::string FileBytes(const std::string& path);

// Saves what the client area of the window shows on the screen as a PNG under the build
// folder; false when the picture could not be taken.
bool SaveWindowPicture(wxWindow& window, const std::string& name);

// Runs `act` once the modal dialog with this title shows (from inside its modal loop),
// while `open` runs the code that shows it. Answers whether the dialog appeared; a
// dialog still open after `act` is cancelled, so that no test can hang on it.
bool WhileDialogShows(const wxString& title, const std::function<void()>& open,
                      const std::function<void(wxDialog&)>& act, int timeoutMs = 10000);
