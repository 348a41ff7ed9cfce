#include "gui/gui_support.h"

#include "app/skedradoc.h"
#include "wx/main_frame.h"
#include "wx/wx_ids.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/timer.h>

CMainFrame& Frame() {
    return *CMainFrame::Current();
}

CSkedraDoc& Doc() {
    return *CSkedraDoc::Current();
}

void Settle() {
    for (int i = 0; i < 5; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxYield();
    }
}

void SendCommand(int command) {
    wxCommandEvent event(wxEVT_MENU, WxIdOf(command));
    Frame().GetEventHandler()->ProcessEvent(event);
    Settle();
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool SaveWindowPicture(wxWindow& window, const std::string& name) {
    window.Refresh();
    window.Update();
    // GTK draws on its frame clock: give it a few frames before reading the screen.
    for (int i = 0; i < 10; ++i) {
        wxYield();
        wxMilliSleep(20);
    }
    wxClientDC client(&window);
    wxSize size = window.GetClientSize();
    wxBitmap shot(size);
    wxMemoryDC memory(shot);
    memory.Blit(0, 0, size.x, size.y, &client, 0, 0);
    memory.SelectObject(wxNullBitmap);
    std::string path = std::string(VANTRY_SCREENSHOT_DIR) + "/" + name;
    return shot.SaveFile(path, wxBITMAP_TYPE_PNG) && std::filesystem::file_size(path) > 1000;
}

namespace {

wxDialog* shownModal(const wxString& title) {
    for (wxWindow* window : wxTopLevelWindows) {
        auto* dialog = dynamic_cast<wxDialog*>(window);
        if (dialog && dialog->IsModal() && dialog->IsShownOnScreen() && dialog->GetTitle() == title)
            return dialog;
    }
    return nullptr;
}

} // namespace

bool WhileDialogShows(const wxString& title, const std::function<void()>& open,
                      const std::function<void(wxDialog&)>& act, int timeoutMs) {
    bool appeared = false;
    int waited = 0, seenFor = 0;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        waited += 50;
        wxDialog* dialog = shownModal(title);
        // A few ticks after it shows, the window manager has placed it and it has painted.
        if (dialog && ++seenFor == 6) {
            timer.Stop();
            appeared = true;
            act(*dialog);
            if (dialog->IsModal()) dialog->EndModal(wxID_CANCEL);
        } else if (waited > timeoutMs) {
            timer.Stop();
            for (wxWindow* window : wxTopLevelWindows)
                if (auto* any = dynamic_cast<wxDialog*>(window); any && any->IsModal())
                    any->EndModal(wxID_CANCEL);
        }
    });
    timer.Start(50);
    open();
    timer.Stop();
    return appeared;
}
