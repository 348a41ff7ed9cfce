#include "net/httprequest.h"

#include "foundation/qmessage.h"
#include "net/global.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>

namespace {

constexpr size_t OUTPUT_CHUNK = 64 * 1024;

// Milliseconds left until the deadline, for poll (-1: no deadline).
int millisecondsUntil(QNHTTPRequest::Clock::time_point deadline) {
    if (deadline == QNHTTPRequest::Clock::time_point::max()) return -1;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                      QNHTTPRequest::Clock::now());
    return left.count() < 0 ? 0 : (int)std::min<long long>(left.count(), 1 << 30);
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

} // namespace

QNHTTPRequest::QNHTTPRequest(QNHTTPServer* owner, std::unique_ptr<QNSocket> connection)
    : server(owner), socket(std::move(connection)), readBuffer(new char[READ_BUFFER_SIZE]) {}

QNHTTPRequest::~QNHTTPRequest() = default;

bool QNHTTPRequest::Read(Clock::time_point until, int wake) {
    deadline = until;
    wakeHandle = wake;
    std::string line;
    if (!ReadLine(line) || !parseRequestLine(line)) return false;
    for (;;) {
        if (!ReadLine(line)) return false;
        if (line.empty()) break;
        addHeader(line);
    }
    if (method == POST && headers.Get("content-length") && !readBody()) return false;
    if (queryString.IsNotEmpty()) QDecodeForm(queryString, query);
    const char* type = headers.Get("content-type");
    if (body && type && std::strcmp(type, "application/x-www-form-urlencoded") == 0)
        QDecodeForm(body->c_str(), form);
    return true;
}

bool QNHTTPRequest::parseRequestLine(const std::string& line) {
    size_t n = line.size();
    if (n < 5) return false;
    size_t urlStart;
    if (startsWith(line, "GET")) {
        method = GET;
        urlStart = 4;
    } else if (startsWith(line, "POST")) {
        method = POST;
        urlStart = 5;
    } else {
        method = METHOD_NOT_UNDERSTOOD;
        return false;
    }
    size_t urlEnd = line.find(' ', urlStart);
    if (urlEnd == std::string::npos) urlEnd = n;
    std::string url = line.substr(urlStart, urlEnd - urlStart);
    size_t question = url.find('?');
    path = url.substr(0, question).c_str();
    queryString = question == std::string::npos ? "" : url.substr(question + 1).c_str();

    std::string rest = line.substr(urlEnd);
    if (rest == " HTTP/1.0")
        version = HTTP_1_0;
    else if (rest == " HTTP/1.1")
        version = HTTP_1_1;
    else
        version = VERSION_NOT_UNDERSTOOD;
    return version != VERSION_NOT_UNDERSTOOD;
}

void QNHTTPRequest::addHeader(const std::string& line) {
    size_t colon = line.find(':');
    if (colon == std::string::npos) {
        qtrace(QLOC("QNHTTPRequest::ReadHeaders"), "Invalid header: \"%s\"\n", line.c_str());
        return;
    }
    std::string name = line.substr(0, colon);
    for (char& c : name)
        c = (char)std::tolower((unsigned char)c);
    std::string value = colon + 2 <= line.size() ? line.substr(colon + 2) : "";
    headers.Add(name.c_str(), value.c_str());
    if (name == "user-agent" && value.find("iPad") != std::string::npos) iPad = true;
}

bool QNHTTPRequest::readBody() {
    const char* text = headers.Get("content-length");
    char* end = nullptr;
    long long wanted = std::strtoll(text, &end, 10);
    if (end == text || wanted < 0 || wanted > MAX_BODY) {
        qtrace(QLOC("QNHTTPRequest::ReadBody"), "Refusing a body of content-length \"%s\"\n", text);
        return false;
    }
    body = std::make_unique<std::string>();
    body->reserve(wanted);
    int buffered = std::min<int>(readFill - readPosition, (int)wanted);
    body->append(readBuffer.get() + readPosition, buffered);
    readPosition += buffered;
    char chunk[4096];
    while ((long long)body->size() < wanted) {
        int got = receive(chunk, (int)std::min<long long>(sizeof chunk, wanted - body->size()));
        if (got <= 0) return false;
        body->append(chunk, got);
    }
    return true;
}

bool QNHTTPRequest::ReadLine(std::string& line) {
    for (;;) {
        char* start = readBuffer.get() + readPosition;
        auto* lf = (char*)std::memchr(start, '\n', readFill - readPosition);
        if (lf) {
            char* end = lf;
            if (end > start && end[-1] == '\r') --end;
            line.assign(start, end);
            readPosition = (int)(lf - readBuffer.get()) + 1;
            if (readPosition == readFill) readPosition = readFill = 0;
            return true;
        }
        if (readFill == READ_BUFFER_SIZE) {
            if (readPosition == 0) {
                qtrace(QLOC("QNHTTPRequest::ReadLine"),
                       "Fatal error, could not read line because the readLineBuffer is to small");
                return false;
            }
            std::memmove(readBuffer.get(), start, readFill - readPosition);
            readFill -= readPosition;
            readPosition = 0;
        }
        int got = receive(readBuffer.get() + readFill, READ_BUFFER_SIZE - readFill);
        if (got <= 0) return false;
        readFill += got;
    }
}

// Takes what has arrived, or waits for bytes until the deadline (or the server's wake-up).
int QNHTTPRequest::receive(char* into, int n) {
    if (!socket || !socket->IsOpen()) return -1;
    // Mostly the bytes are there already: no wait, no extra call.
    ssize_t got = recv(socket->Handle(), into, std::min(n, 4096), MSG_DONTWAIT);
    if (got > 0) return (int)got;
    if (got == 0) return 0; // the peer closed
    pollfd waits[2] = {{socket->Handle(), POLLIN, 0}, {wakeHandle, POLLIN, 0}};
    int ready = poll(waits, wakeHandle >= 0 ? 2 : 1, millisecondsUntil(deadline));
    if (ready <= 0 || (waits[1].revents & POLLIN)) {
        if (ready == 0)
            qtrace(QLOC("QNHTTPRequest::Read"), "Request from %s not complete in time\n",
                   socket->PeerText());
        return -1;
    }
    return socket->Read(into, n);
}

void QNHTTPRequest::SendHeaders() {
    if (finished) return;
    headersSent = true;
    if (status == 0) status = 500;
    char line[64];
    std::snprintf(line, sizeof line, status == 200 ? "HTTP/1.0 %d OK\r\n" : "HTTP/1.0 %d Error\r\n",
                  status);
    output += line;
    for (int i = 0; i < responseHeaders.Count(); ++i) {
        const char* name = responseHeaders.NameAt(i);
        const char* value = responseHeaders.ValueAt(i);
        if (std::strlen(name) + std::strlen(value) > MAX_HEADER_PAIR) {
            qtrace(QLOC("QNHTTPRequest::SendHeaders"),
                   "FAILED TO WRITE HEADER key: %s, pair larger then 512 bytes", name);
            continue;
        }
        output += name;
        output += ": ";
        output += value;
        output += "\r\n";
    }
    output += "\r\n";
}

void QNHTTPRequest::Write(const char* text, int length) {
    if (finished || !text) return;
    if (!headersSent) SendHeaders();
    size_t n = length < 0 ? std::strlen(text) : (size_t)length;
    bytesSent += (long)n;
    output.append(text, n);
    if (output.size() >= OUTPUT_CHUNK) flush();
}

void QNHTTPRequest::Finish() {
    if (finished) return;
    if (!headersSent) SendHeaders();
    flush();
    finished = true;
    if (socket) socket->Close();
}

void QNHTTPRequest::flush() {
    send(output.data(), output.size());
    output.clear();
}

void QNHTTPRequest::send(const char* data, size_t n) {
    if (!sendStarted && n > 0) {
        sendStarted = true;
        if (sendTimeout >= 0) sendDeadline = Clock::now() + std::chrono::milliseconds(sendTimeout);
    }
    // A client that doesn't read must not hold the worker: the bytes go out as the client
    // takes them, until the deadline or until the server stops.
    while (n > 0 && socket && socket->IsOpen()) {
        ssize_t sent = ::send(socket->Handle(), data, std::min<size_t>(n, 1 << 30),
                              MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            data += sent;
            n -= (size_t)sent;
            continue;
        }
        if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            qnError("QNSocket:Write(); failed (%s)", socket->PeerText());
            socket->Close();
            return;
        }
        pollfd waits[2] = {{socket->Handle(), POLLOUT, 0}, {wakeHandle, POLLIN, 0}};
        int ready = poll(waits, wakeHandle >= 0 ? 2 : 1, millisecondsUntil(sendDeadline));
        if (ready == 0 || (ready > 0 && (waits[1].revents & POLLIN))) {
            if (ready == 0)
                qtrace(QLOC("QNHTTPRequest::Send"), "Response to %s not taken in time\n",
                       socket->PeerText());
            sendAbandoned = true;
            // Nothing more goes to this client; the worker is free again.
            shutdown(socket->Handle(), SHUT_RDWR);
            socket->Close();
            return;
        }
    }
}
