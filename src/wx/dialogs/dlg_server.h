// DlgServer: the remote view's dialog. While it is open the HTTP server serves the open
// document to browsers on port 8100; closing it stops the server. It first asks whether
// other devices may browse it; if not, it serves this machine only.
#pragma once

#include <cstdint>
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

    // viewer answers the viewer of the open document and changes its change sequence
    // (both asked on the user-interface thread; without changes nothing made from the
    // document is kept between requests).
    DlgServer(wxWindow* parent, std::function<VCollectionViewer*()> viewer,
              std::function<std::uint64_t()> changes = nullptr);
    ~DlgServer() override;

    // The address the dialog shows and opens in the browser when serving this machine only.
    static std::string Address();
    // Where the next dialog's server listens without asking the user (tests keep it on
    // loopback); empty: ask.
    static void SetBindAddress(const std::string& address);

  private:
    std::unique_ptr<UiThreadDocument> document;
    std::unique_ptr<QNHTTPServerVantry> server;
};
