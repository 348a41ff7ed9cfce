#include "wx/dialogs/server_dialog.h"

#include "foundation/qfile.h"
#include "remoteview/httpserver_vantry.h"
#include "remoteview/serve_mode.h"
#include "wx/ui_thread_document.h"

#include <string>
#include <thread>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

namespace {
std::string bindAddress;
}

void DlgServer::SetBindAddress(const std::string& address) {
    bindAddress = address;
}

std::string DlgServer::Address() {
    return "127.0.0.1:" + std::to_string(REMOTE_VIEW_PORT);
}

DlgServer::DlgServer(wxWindow* parent, std::function<VCollectionViewer*()> viewer)
    : wxDialog(parent, wxID_ANY, TITLE), document(std::make_unique<UiThreadDocument>(viewer)) {
    auto* texts = new wxBoxSizer(wxVERTICAL);
    texts->Add(
        new wxStaticText(this, wxID_ANY, "Serving on port " + std::to_string(REMOTE_VIEW_PORT)), 0,
        wxALL, 10);
    texts->Add(new wxStaticText(this, wxID_ANY, "Browse to: " + Address()), 0,
               wxLEFT | wxRIGHT | wxBOTTOM, 10);
    // Escape closes it like the button.
    texts->Add(new wxButton(this, wxID_CANCEL, "Close"), 0, wxALIGN_RIGHT | wxALL, 10);
    SetSizerAndFit(texts);
    CentreOnParent();

    server = std::make_unique<QNHTTPServerVantry>(*document, REMOTE_VIEW_PORT, REMOTE_VIEW_WORKERS,
                                                  false);
    if (!bindAddress.empty()) server->SetBindAddress(bindAddress.c_str());
    server->Start(true);
    // The browser's first request is answered on this thread, and xdg-open may wait for a
    // browser it starts until that browser ends: the opening runs beside it.
    std::thread([address = "http://" + Address()] { QOpen(address.c_str()); }).detach();
}

DlgServer::~DlgServer() {
    // Workers waiting for this thread give up first; then the server can end them.
    document->Close();
    server.reset();
}
