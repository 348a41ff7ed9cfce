// QNHTTPRequest: one connection of the HTTP server, carrying exactly one request and one
// response. The worker reads the request head (and a POST body) into tables; the
// handler then sets a status, writes the body and finishes.
#pragma once

#include "foundation/qstring.h"
#include "net/qnametable.h"
#include "net/socket.h"

#include <chrono>
#include <memory>
#include <string>

class QNHTTPServer;

class QNHTTPRequest {
  public:
    enum Method { GET = 0, POST = 1, METHOD_NOT_UNDERSTOOD = 2 };
    enum Version { HTTP_1_0 = 0, HTTP_1_1 = 1, VERSION_NOT_UNDERSTOOD = 2 };
    static constexpr int READ_BUFFER_SIZE = 1512;
    // Longest POST body taken; the pages served never need one near this.
    static constexpr long MAX_BODY = 1 << 20;
    // Longest "name: value" pair sent as a response header.
    static constexpr int MAX_HEADER_PAIR = 506;
    using Clock = std::chrono::steady_clock;

    QNHTTPRequest(QNHTTPServer* server, std::unique_ptr<QNSocket> socket);
    ~QNHTTPRequest();
    QNHTTPRequest(const QNHTTPRequest&) = delete;
    QNHTTPRequest& operator=(const QNHTTPRequest&) = delete;

    // Reads the request line, the headers and a POST body and decodes the query and a
    // form body. False when the request cannot be read: a line that does not fit the
    // buffer, a method or version not understood, a connection that ends early, or a
    // deadline passed (or wakeHandle readable: the server is stopping) while waiting for bytes.
    bool Read(Clock::time_point deadline = Clock::time_point::max(), int wakeHandle = -1);
    // The next line of the head, without its LF and a CR before it; false when it cannot be read.
    bool ReadLine(std::string& line);

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

    // Sends the status line and headers first when they have not gone out; length -1
    // takes the length of the text.
    void Write(const char* text, int length = -1);
    // "HTTP/1.0 200 OK" for 200, "HTTP/1.0 %d Error" otherwise (500 when no status was
    // set), the response headers, and the empty line.
    void SendHeaders();
    // Sends what is still due and closes the connection; nothing is written after it.
    void Finish();
    // The client gets this long from the first byte sent to take the whole response;
    // then (or when the server stops) the connection is closed unfinished.
    void SetSendTimeout(int milliseconds) { sendTimeout = milliseconds; }
    // True once a send ran out of time or the server stopped under it.
    bool SendAbandoned() const { return sendAbandoned; }

  private:
    bool parseRequestLine(const std::string& line);
    void addHeader(const std::string& line);
    bool readBody();
    int receive(char* into, int n);
    void send(const char* data, size_t n);
    void flush();

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
    // An allocation of its own, so AddressSanitizer sees any step past its end.
    std::unique_ptr<char[]> readBuffer;
    int readPosition = 0;
    int readFill = 0;
    long bytesSent = 0;

    bool finished = false;
    Clock::time_point deadline = Clock::time_point::max();
    int wakeHandle = -1;
    int sendTimeout = -1; // none
    Clock::time_point sendDeadline = Clock::time_point::max();
    bool sendStarted = false;
    bool sendAbandoned = false;
    // The response collects here and goes out in large sends, not one per piece.
    std::string output;
};
