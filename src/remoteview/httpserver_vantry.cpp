#include "remoteview/httpserver_vantry.h"

#include "foundation/qmessage.h"
#include "model/vcollection.h"
#include "model/vcollviewer.h"
#include "remoteview/remote_document.h"

#include <cstring>

QNHTTPServerVantry::QNHTTPServerVantry(RemoteDocument& doc, int port, int workers, bool portScan)
    : QNHTTPServer(port, workers, portScan), document(doc) {
    // The document is private: only this machine's names, and the token beyond loopback.
    SetGuarded(true);
}

QNHTTPServerVantry::~QNHTTPServerVantry() {
    Stop();
}

namespace {

// The document is going away with the server, or the server is stopping.
void answerUnavailable(QNHTTPRequest& request) {
    request.SetStatus(503);
    request.Finish();
}

} // namespace

void QNHTTPServerVantry::serveCalendar(QNHTTPRequest& request) {
    // Built in the document's turn, at most once per change of it; sent after, from the
    // one copy every response shares.
    std::shared_ptr<const std::string> feed;
    document.Run([&](VCollectionViewer& viewer) {
        if (Stopping()) return;
        feed = calendar.Of(*viewer.collection, document.ChangeSequence(),
                           [this] { return Stopping(); });
    });
    if (!feed) return answerUnavailable(request);
    request.SetStatus(200);
    request.ResponseHeaders().Add("Content-Type", "text/calendar; charset=utf-8");
    request.WriteShared(std::move(feed));
    request.Finish();
}

void QNHTTPServerVantry::HandleRequest(QNHTTPRequest& request) {
    qtrace(QLOC("QNHTTPServerVantry::HandleRequest"), "HTTPServer handlReq request %p\n",
           (void*)&request);
    if (!std::strcmp(request.Path(), "/calendar.ics")) return serveCalendar(request);
    // Each request has its own writer and error text, so requests never see each other's.
    PageWriter page(Token().empty() ? "" : std::string("&") + TOKEN_NAME + "=" + Token());
    qstring errorText;
    const char* root = request.Query().Get("root");
    TextEncoding encoding = TextEncoding::Windows1252;
    bool built = false;
    document.Run([&](VCollectionViewer& viewer) {
        if (Stopping()) return; // requests that waited for the document end at once
        encoding = viewer.collection->textEncoding;
        WritePageHead(page, request.IsIPad(), encoding);
        WriteDocumentPart(page, viewer, root, errorText, &cache);
        built = true;
    });
    if (!built) return answerUnavailable(request);
    request.SetStatus(200);
    request.ResponseHeaders().Add("Content-Type", PageContentType(encoding).c_str());
    WritePageEnd(page);
    request.WriteShared(std::make_shared<const std::string>(page.Take()));
    request.Finish();
}
