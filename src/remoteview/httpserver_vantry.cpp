#include "remoteview/httpserver_vantry.h"

#include "foundation/qmessage.h"
#include "model/vcollection.h"
#include "model/vcollviewer.h"
#include "remoteview/page.h"
#include "remoteview/remote_document.h"

QNHTTPServerVantry::QNHTTPServerVantry(RemoteDocument& doc, int port, int workers, bool portScan)
    : QNHTTPServer(port, workers, portScan), document(doc) {}

QNHTTPServerVantry::~QNHTTPServerVantry() {
    Stop();
}

void QNHTTPServerVantry::HandleRequest(QNHTTPRequest& request) {
    qtrace(QLOC("QNHTTPServerVantry::HandleRequest"), "HTTPServer handlReq request %p\n",
           (void*)&request);
    // Each request has its own writer and error text, so requests never see each other's.
    PageWriter page;
    qstring errorText;
    const char* root = request.Query().Get("root");
    bool served = document.Run([&](VCollectionViewer& viewer) {
        VCollection& c = *viewer.collection;
        WritePageHead(page, request.IsIPad(), c.textEncoding);
        VNode* chosen = ChooseNode(c, root, errorText);
        // The page borrows the viewer's current folder and shown chain; the main window's
        // are put back before the document is let go, so its item view never shows the
        // page's folder or a chain cut short by it.
        VNode* previous = viewer.folder;
        viewer.folder = chosen;
        c.MakeView(chosen);
        WriteErrorParagraph(page, errorText);
        WriteFolderTable(page, c);
        WriteItemTable(page, chosen);
        viewer.folder = previous;
        if (previous && previous != chosen) c.MakeView(previous);
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
