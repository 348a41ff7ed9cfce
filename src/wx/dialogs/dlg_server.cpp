#include "wx/dialogs/dlg_server.h"

#include "foundation/qfile.h"
#include "net/local_names.h"
#include "remoteview/httpserver_vantry.h"
#include "remoteview/serve_mode.h"
#include "wx/ui_thread_document.h"

#include <string>
#include <thread>
#include <wx/button.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

namespace {
std::string bindAddress;

// The user decides whether the document leaves this machine: its facts may hold keys
// and passwords.
std::string askWhereToServe(wxWindow* parent) {
    wxMessageDialog question(
        parent,
        "Let other devices on your network (a tablet, a phone) browse this document?\n\n"
        "Anyone on the network who is given the address can then read everything in it. "
        "Choose No to serve this computer only.",
        DlgServer::TITLE, wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION);
    return question.ShowModal() == wxID_YES ? REMOTE_VIEW_EVERYWHERE : REMOTE_VIEW_LOOPBACK;
}
} // namespace

void DlgServer::SetBindAddress(const std::string& address) {
    bindAddress = address;
}

std::string DlgServer::Address() {
    return std::string(REMOTE_VIEW_LOOPBACK) + ":" + std::to_string(REMOTE_VIEW_PORT);
}

DlgServer::DlgServer(wxWindow* parent, std::function<VCollectionViewer*()> viewer,
                     std::function<std::uint64_t()> changes)
    : wxDialog(parent, wxID_ANY, TITLE),
      document(std::make_unique<UiThreadDocument>(std::move(viewer), std::move(changes))) {
    std::string bind = bindAddress.empty() ? askWhereToServe(parent) : bindAddress;
    server = std::make_unique<QNHTTPServerVantry>(*document, REMOTE_VIEW_PORT, REMOTE_VIEW_WORKERS,
                                                  false);
    server->SetBindAddress(bind.c_str());
    bool serving = server->Start(true);

    auto* texts = new wxBoxSizer(wxVERTICAL);
    std::string local; // what this machine's browser opens
    if (!serving) {
        texts->Add(new wxStaticText(this, wxID_ANY, "Can't serve: " + server->ListenFailure()), 0,
                   wxALL, 10);
    } else {
        texts->Add(
            new wxStaticText(this, wxID_ANY, "Serving on port " + std::to_string(REMOTE_VIEW_PORT)),
            0, wxALL, 10);
        if (QNIsLoopback(bind)) {
            texts->Add(new wxStaticText(this, wxID_ANY, "Browse to: " + Address()), 0,
                       wxLEFT | wxRIGHT | wxBOTTOM, 10);
            local = "http://" + Address();
        } else {
            texts->Add(
                new wxStaticText(this, wxID_ANY, "Browse to: " + RemoteViewAddress(*server, bind)),
                0, wxLEFT | wxRIGHT | wxBOTTOM, 10);
            texts->Add(new wxStaticText(this, wxID_ANY,
                                        "Anyone on the network with this address can read "
                                        "the document until you close this window."),
                       0, wxLEFT | wxRIGHT | wxBOTTOM, 10);
            local = RemoteViewAddress(*server, REMOTE_VIEW_LOOPBACK);
        }
    }
    // Escape closes it like the button.
    texts->Add(new wxButton(this, wxID_CANCEL, "Close"), 0, wxALIGN_RIGHT | wxALL, 10);
    SetSizerAndFit(texts);
    CentreOnParent();
    if (!serving) return;
    // The browser's first request is answered on this thread, and xdg-open may wait for a
    // browser it starts until that browser ends: the opening runs beside it.
    std::thread([local] { QOpen(local.c_str()); }).detach();
}

DlgServer::~DlgServer() {
    // Workers waiting for this thread give up first; then the server ends them and closes
    // every connection, whatever its client does.
    document->Close();
    server.reset();
}
