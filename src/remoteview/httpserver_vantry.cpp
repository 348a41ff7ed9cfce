#include "remoteview/httpserver_vantry.h"

#include "foundation/qmessage.h"
#include "interop/ical_export.h"
#include "model/vcollection.h"
#include "model/vcollviewer.h"
#include "remoteview/page.h"
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

// The whole document as one iCalendar file, for calendar programs to subscribe to. The
// document is never saved from here (--serve must not rewrite it behind the user's
// back): items without a UID get the ones the export derives from the document
// (DeriveUids), which come out the same at every start, so subscribers never see their
// items replaced by a restart.
void serveCalendar(QNHTTPRequest& request, RemoteDocument& document) {
    std::string calendar;
    bool served = document.Run([&](VCollectionViewer& viewer) {
        VCollection& c = *viewer.collection;
        calendar = ExportICalendar(c, AllNodes(c), CalendarName(c, c.root)).text;
    });
    request.SetStatus(served ? 200 : 503);
    if (served) {
        request.ResponseHeaders().Add("Content-Type", "text/calendar; charset=utf-8");
        request.Write(calendar.data(), (int)calendar.size());
    }
    request.Finish();
}

} // namespace

void QNHTTPServerVantry::HandleRequest(QNHTTPRequest& request) {
    qtrace(QLOC("QNHTTPServerVantry::HandleRequest"), "HTTPServer handlReq request %p\n",
           (void*)&request);
    if (!std::strcmp(request.Path(), "/calendar.ics")) return serveCalendar(request, document);
    // Each request has its own writer and error text, so requests never see each other's.
    PageWriter page(Token().empty() ? "" : std::string("&") + TOKEN_NAME + "=" + Token());
    qstring errorText;
    const char* root = request.Query().Get("root");
    bool served = document.Run([&](VCollectionViewer& viewer) {
        WritePageHead(page, request.IsIPad(), viewer.collection->textEncoding);
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
