// QNHTTPServerVantry: the program's HTTP server. Every request gets one page that lets a
// browser on another device (a tablet) browse the open document read-only; /calendar.ics
// gets the whole document as iCalendar.
#pragma once

#include "net/httpserver.h"
#include "remoteview/calendar_feed.h"
#include "remoteview/page.h"

class RemoteDocument;

class QNHTTPServerVantry : public QNHTTPServer {
  public:
    QNHTTPServerVantry(RemoteDocument& document, int port, int workers, bool portScan);
    ~QNHTTPServerVantry() override;

    void HandleRequest(QNHTTPRequest& request) override;

  private:
    void serveCalendar(QNHTTPRequest& request);

    RemoteDocument& document;
    // Both used under the document's Run only.
    PageCache cache;
    CalendarFeed calendar;
};
