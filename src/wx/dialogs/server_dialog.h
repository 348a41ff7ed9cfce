// DlgServer: the remote view's dialog. While it is open the HTTP server serves the open
// document to browsers on port 8100; closing it stops the server.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <wx/dialog.h>

class QNHTTPServerVantry;
class UiThreadDocument;
class VCollectionViewer;

class DlgServer : public wxDialog {
  public:
    static constexpr const char* TITLE = "Vantry HTTP Server";

    // viewer answers the viewer of the open document (asked on the user-interface thread).
    DlgServer(wxWindow* parent, std::function<VCollectionViewer*()> viewer);
    ~DlgServer() override;

    // The address the dialog shows and opens in the browser.
    static std::string Address();
    // Where the next dialog's server listens: every local address (a tablet must reach
    // it) unless set; tests keep it on loopback.
    static void SetBindAddress(const std::string& address);

  private:
    std::unique_ptr<UiThreadDocument> document;
    std::unique_ptr<QNHTTPServerVantry> server;
};
