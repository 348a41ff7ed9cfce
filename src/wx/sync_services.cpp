#include "wx/sync_services.h"

#include "foundation/qclock.h"

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/modalhook.h>

namespace {

// Counts the modal dialogs open now: item dialogs, file choosers and message boxes alike
// (wx calls the hook for all of them), since each may hold a node a sync could remove.
class ModalCount : public wxModalDialogHook {
  public:
    ModalCount() { Register(); }
    ~ModalCount() override { Unregister(); }
    int open = 0;

  protected:
    int Enter(wxDialog*) override {
        ++open;
        return wxID_NONE;
    }
    void Exit(wxDialog*) override { --open; }
};

} // namespace

WindowSyncServices WxSyncServices(wxFrame& frame) {
    static ModalCount modal;
    WindowSyncServices services;
    // The application outlives the frame; an end queued for a sync that is gone does nothing.
    services.post = [](std::function<void()> f) { wxTheApp->CallAfter(std::move(f)); };
    services.busy = [] { return modal.open > 0; };
    services.status = [&frame](const std::string& line) {
        frame.SetStatusText(wxString::FromUTF8(line));
    };
    services.clock = QNow;
    services.exchange = ExchangeWithServer;
    return services;
}
