// QNHTTPRequest: one connection of the HTTP server, carrying exactly one request and one
// response. The request is read as its bytes arrive, never waiting for them (the server's
// loop calls ReadAvailable whenever the connection has some); the handler then sets a
// status and writes the body, and the response goes out as the client takes it.
#pragma once

#include "foundation/qstring.h"
#include "net/qnametable.h"
#include "net/socket.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

class QNHTTPServer;

class QNHTTPRequest {
  public:
    enum Method { GET = 0, POST = 1, METHOD_NOT_UNDERSTOOD = 2 };
    enum Version { HTTP_1_0 = 0, HTTP_1_1 = 1, VERSION_NOT_UNDERSTOOD = 2 };
    // How far reading has come.
    enum Reading {
        READING,    // more bytes are needed
        READ,       // the whole request is there
        REFUSED,    // answer with RefusalStatus() and close
        UNREADABLE, // close without a response
    };
    // How far sending has come.
    enum SendState { SENDING, SENT, SEND_FAILED };

    // Longest line of the head, its line end included.
    static constexpr int READ_BUFFER_SIZE = 1512;
    // Longest head: lines that carry no header count too.
    static constexpr int MAX_HEAD = 16 * 1024;
    // Longest POST body taken; the pages served never need one near this.
    static constexpr long MAX_BODY = 64 * 1024;
    // Longest "name: value" pair sent as a response header.
    static constexpr int MAX_HEADER_PAIR = 506;
    using Clock = std::chrono::steady_clock;

    QNHTTPRequest(QNHTTPServer* server, std::unique_ptr<QNSocket> socket);
    ~QNHTTPRequest();
    QNHTTPRequest(const QNHTTPRequest&) = delete;
    QNHTTPRequest& operator=(const QNHTTPRequest&) = delete;

    // Takes what the connection has delivered, without waiting, and reads the request line,
    // the headers and a POST body as far as those bytes go; once all is there it decodes
    // the query and a form body. Unreadable: a line longer than the buffer, a method or
    // version not understood, a bad content-length, a connection that ended or failed.
    // Refused: a header name that is no token (a blank before the colon: 400), more headers
    // than the table holds or a head beyond MAX_HEAD (431).
    Reading ReadAvailable();
    int RefusalStatus() const { return refusal; }

    QNHTTPServer* Server() const { return server; }
    const QNameTable& Query() const { return query; }
    const QNameTable& Form() const { return form; }
    const QNameTable& Headers() const { return headers; }
    QNameTable& ResponseHeaders() { return responseHeaders; }
    int Method() const { return method; }
    int Version() const { return version; }
    const char* Path() const { return path.Text(); }
    const char* QueryString() const { return queryString.Text(); }
    // The POST body as text, or null without one.
    const char* Body() const { return body ? body->c_str() : nullptr; }
    bool IsIPad() const { return iPad; }
    int Status() const { return status; }
    void SetStatus(int s) { status = s; }
    long BytesSent() const { return bytesSent; }
    bool HeadersSent() const { return headersSent; }
    bool Finished() const { return finished; }
    // The connection, for the server's poll (-1 once closed), and its peer's address.
    int Handle() const { return socket ? socket->Handle() : -1; }
    const char* PeerText() const { return socket ? socket->PeerText() : ""; }

    // Appends to the response, after the status line and headers when they have not been
    // written yet; length -1 takes the length of the text.
    void Write(const char* text, int length = -1);
    // Appends bytes that stay shared: nothing is copied, so any number of responses can
    // send the same large text at once.
    void WriteShared(std::shared_ptr<const std::string> bytes);
    // "HTTP/1.0 200 OK" for 200, "HTTP/1.0 %d Error" otherwise (500 when no status was
    // set), the response headers, and the empty line.
    void SendHeaders();
    // Ends the response (nothing is written after it) and sends what the connection takes
    // at once. The rest, if any (Sending() true), the server sends as the client reads.
    void Finish();
    bool Sending() const { return finished && Handle() >= 0; }
    // Sends what the connection takes now, without waiting; closes it once all is sent,
    // or when the send fails (the client went away).
    SendState SendAvailable();
    // The client gets this long from the first byte sent to take the whole response.
    void SetSendTimeout(int milliseconds) { sendTimeout = milliseconds; }
    Clock::time_point SendDeadline() const { return sendDeadline; }
    // Closes the connection with the response unfinished (its deadline passed, or the
    // server stops).
    void AbandonSend(bool timedOut);
    bool SendAbandoned() const { return sendAbandoned; }

  private:
    // Reads the lines and body that the received bytes hold.
    Reading parse();
    Reading parseLine(const std::string& line);
    bool parseRequestLine(const std::string& line);
    Reading addHeader(const std::string& line);
    Reading takeBody();
    Reading complete();
    Reading refuse(int withStatus);
    void close();

    QNHTTPServer* server;
    std::unique_ptr<QNSocket> socket;
    QNameTable query;
    QNameTable form;
    QNameTable headers;
    int method = METHOD_NOT_UNDERSTOOD;
    int version = VERSION_NOT_UNDERSTOOD;
    int status = 0;
    qstring path;
    qstring queryString;
    std::unique_ptr<std::string> body;
    QNameTable responseHeaders;
    bool headersSent = false;
    bool iPad = false;
    long bytesSent = 0;

    // Reading: what arrived and was not taken into a line or the body yet.
    enum Stage { REQUEST_LINE, HEADER_LINES, BODY, DONE };
    Stage stage = REQUEST_LINE;
    std::string received;
    int headBytes = 0;
    int headerCount = 0;
    long bodyWanted = 0;
    int refusal = 0;
    Reading outcome = READING;

    // Sending: the response collects in pieces (its own bytes, and shared ones) that go
    // out together, as far as the client takes them.
    std::string output;
    std::vector<std::shared_ptr<const std::string>> pieces;
    size_t sentOfFirstPiece = 0;
    bool finished = false;
    int sendTimeout = -1; // none
    Clock::time_point sendDeadline = Clock::time_point::max();
    bool sendStarted = false;
    bool sendAbandoned = false;
};
