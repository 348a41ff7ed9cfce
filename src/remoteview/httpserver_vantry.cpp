#include "remoteview/httpserver_vantry.h"

#include "foundation/qmessage.h"
#include "remoteview/page.h"
#include "remoteview/remote_document.h"

QNHTTPServerVantry::QNHTTPServerVantry(RemoteDocument& doc, int port, int workers, bool portScan)
    : QNHTTPServer(port, workers, portScan), document(doc) {
    // The document is private: only this machine's names, and the token beyond loopback.
    SetGuarded(true);
}

QNHTTPServerVantry::~QNHTTPServerVantry() {
    Stop();
}

void QNHTTPServerVantry::HandleRequest(QNHTTPRequest& request) {
    qtrace(QLOC("QNHTTPServerVantry::HandleRequest"), "HTTPServer handlReq request %p\n",
           (void*)&request);
    // Each request has its own writer and error text, so requests never see each other's.
    PageWriter page(Token().empty() ? "" : std::string("&") + TOKEN_NAME + "=" + Token());
    qstring errorText;
    WritePageHead(page, request.IsIPad());
    const char* root = request.Query().Get("root");
    bool served = document.Run([&](VCollectionViewer& viewer) {
        WriteDocumentPart(page, viewer, root, errorText, &cache);
    });
    if (!served) { // the document is going away with the server
        request.SetStatus(503);
        request.Finish();
        return;
    }
    request.SetStatus(200);
    WritePageEnd(page);
    request.Write(page.Text().data(), (int)page.Text().size());
    request.Finish();
}
