#include "net/httprequest.h"

#include "foundation/qmessage.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/uio.h>

namespace {

// Pieces handed to one send: the head and the body go out together.
constexpr size_t PIECES_PER_SEND = 16;

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

// A character a header name may hold (a "token" of HTTP).
bool isNameCharacter(char c) {
    return std::isalnum((unsigned char)c) || (c != 0 && std::strchr("!#$%&'*+-.^_`|~", c));
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

QNHTTPRequest::QNHTTPRequest(QNHTTPServer* owner, std::unique_ptr<QNSocket> connection)
    : server(owner), socket(std::move(connection)) {}

QNHTTPRequest::~QNHTTPRequest() = default;

QNHTTPRequest::Reading QNHTTPRequest::ReadAvailable() {
    if (outcome != READING) return outcome;
    char chunk[4096];
    for (;;) {
        if ((outcome = parse()) != READING) return outcome;
        if (Handle() < 0) return outcome = UNREADABLE;
        ssize_t got = recv(Handle(), chunk, sizeof chunk, MSG_DONTWAIT);
        if (got > 0) {
            received.append(chunk, (size_t)got);
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return READING;
        // The client's doing, not the server's: the log has it, the terminal does not.
        if (got == 0)
            qtrace(QLOC("QNHTTPRequest::Read"), "The connection from %s ended in its request\n",
                   PeerText());
        else
            qinform(QLOC("QNHTTPRequest::Read"), "Reading the request from %s failed: %s",
                    PeerText(), std::strerror(errno));
        return outcome = UNREADABLE;
    }
}

QNHTTPRequest::Reading QNHTTPRequest::parse() {
    while (stage == REQUEST_LINE || stage == HEADER_LINES) {
        size_t lf = received.find('\n');
        bool tooLong = lf == std::string::npos ? received.size() >= READ_BUFFER_SIZE
                                               : lf + 1 > READ_BUFFER_SIZE;
        if (tooLong) {
            qtrace(QLOC("QNHTTPRequest::ReadLine"),
                   "Fatal error, could not read line because the readLineBuffer is to small");
            return UNREADABLE;
        }
        if (lf == std::string::npos) return READING;
        headBytes += (int)lf + 1;
        if (headBytes > MAX_HEAD) {
            qtrace(QLOC("QNHTTPRequest::ReadHeaders"), "Refusing a head of more than %d bytes\n",
                   MAX_HEAD);
            return refuse(431);
        }
        size_t end = lf > 0 && received[lf - 1] == '\r' ? lf - 1 : lf;
        std::string line = received.substr(0, end);
        received.erase(0, lf + 1);
        Reading read = parseLine(line);
        if (read != READING) return read;
    }
    return stage == BODY ? takeBody() : READING;
}

QNHTTPRequest::Reading QNHTTPRequest::parseLine(const std::string& line) {
    if (stage == REQUEST_LINE) {
        if (!parseRequestLine(line)) return UNREADABLE;
        stage = HEADER_LINES;
        return READING;
    }
    if (!line.empty()) return addHeader(line);
    const char* length = headers.Get("content-length");
    if (method != POST || !length) return complete();
    char* end = nullptr;
    long long wanted = std::strtoll(length, &end, 10);
    if (end == length || *end || wanted < 0 || wanted > MAX_BODY) {
        qtrace(QLOC("QNHTTPRequest::ReadBody"), "Refusing a body of content-length \"%s\"\n",
               length);
        return UNREADABLE;
    }
    bodyWanted = (long)wanted;
    body = std::make_unique<std::string>();
    body->reserve(bodyWanted);
    stage = BODY;
    return takeBody();
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

QNHTTPRequest::Reading QNHTTPRequest::addHeader(const std::string& line) {
    size_t colon = line.find(':');
    if (colon == std::string::npos) {
        qtrace(QLOC("QNHTTPRequest::ReadHeaders"), "Invalid header: \"%s\"\n", line.c_str());
        return READING;
    }
    // A name with a blank in it ("Host :", " Host:") is one that other readers of the same
    // bytes may take for another header than this server does: it is refused, not guessed.
    std::string name = line.substr(0, colon);
    bool token = !name.empty();
    for (char c : name)
        token = token && isNameCharacter(c);
    if (!token) {
        qtrace(QLOC("QNHTTPRequest::ReadHeaders"), "Refusing the header \"%s\"\n", line.c_str());
        return refuse(400);
    }
    // Every header is looked at: one the table could not hold would go unchecked.
    if (++headerCount > QNameTable::SIZE) {
        qtrace(QLOC("QNHTTPRequest::ReadHeaders"), "Refusing a request of more than %d headers\n",
               QNameTable::SIZE);
        return refuse(431);
    }
    for (char& c : name)
        c = (char)std::tolower((unsigned char)c);
    size_t first = colon + 1, last = line.size();
    while (first < last && isBlank(line[first]))
        ++first;
    while (last > first && isBlank(line[last - 1]))
        --last;
    std::string value = line.substr(first, last - first);
    headers.Add(name.c_str(), value.c_str());
    if (name == "user-agent" && value.find("iPad") != std::string::npos) iPad = true;
    return READING;
}

QNHTTPRequest::Reading QNHTTPRequest::takeBody() {
    size_t take = std::min(received.size(), (size_t)bodyWanted - body->size());
    body->append(received, 0, take);
    received.erase(0, take);
    return (long)body->size() < bodyWanted ? READING : complete();
}

QNHTTPRequest::Reading QNHTTPRequest::complete() {
    stage = DONE;
    if (queryString.IsNotEmpty()) QDecodeForm(queryString, query);
    const char* type = headers.Get("content-type");
    if (body && type && std::strcmp(type, "application/x-www-form-urlencoded") == 0)
        QDecodeForm(body->c_str(), form);
    return READ;
}

QNHTTPRequest::Reading QNHTTPRequest::refuse(int withStatus) {
    stage = DONE;
    refusal = withStatus;
    return REFUSED;
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
}

void QNHTTPRequest::WriteShared(std::shared_ptr<const std::string> bytes) {
    if (finished || !bytes) return;
    if (!headersSent) SendHeaders();
    if (bytes->empty()) return;
    bytesSent += (long)bytes->size();
    if (!output.empty()) pieces.push_back(std::make_shared<const std::string>(std::move(output)));
    output.clear();
    pieces.push_back(std::move(bytes));
}

void QNHTTPRequest::Finish() {
    if (finished) return;
    if (!headersSent) SendHeaders();
    if (!output.empty()) pieces.push_back(std::make_shared<const std::string>(std::move(output)));
    output.clear();
    finished = true;
    SendAvailable();
}

QNHTTPRequest::SendState QNHTTPRequest::SendAvailable() {
    if (Handle() < 0) return sendAbandoned ? SEND_FAILED : SENT;
    if (!sendStarted) {
        sendStarted = true;
        if (sendTimeout >= 0) sendDeadline = Clock::now() + std::chrono::milliseconds(sendTimeout);
    }
    while (!pieces.empty()) {
        iovec parts[PIECES_PER_SEND];
        size_t count = 0;
        for (size_t i = 0; i < pieces.size() && count < PIECES_PER_SEND; ++i, ++count) {
            size_t skip = i == 0 ? sentOfFirstPiece : 0;
            parts[count].iov_base = const_cast<char*>(pieces[i]->data() + skip);
            parts[count].iov_len = pieces[i]->size() - skip;
        }
        msghdr message{};
        message.msg_iov = parts;
        message.msg_iovlen = count;
        // A closed peer is an error, not a signal; a full connection is no reason to wait.
        ssize_t sent = sendmsg(Handle(), &message, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && errno == EINTR) continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return SENDING;
        if (sent <= 0) {
            qinform(QLOC("QNHTTPRequest::Send"), "Sending the response to %s failed: %s",
                    PeerText(), std::strerror(sent < 0 ? errno : EPIPE));
            sendAbandoned = true;
            close();
            return SEND_FAILED;
        }
        for (size_t left = (size_t)sent; left > 0;) {
            size_t rest = pieces.front()->size() - sentOfFirstPiece;
            if (left < rest) {
                sentOfFirstPiece += left;
                break;
            }
            left -= rest;
            pieces.erase(pieces.begin());
            sentOfFirstPiece = 0;
        }
    }
    close();
    return SENT;
}

void QNHTTPRequest::AbandonSend(bool timedOut) {
    if (Handle() < 0) return;
    if (timedOut)
        qtrace(QLOC("QNHTTPRequest::Send"), "Response to %s not taken in time\n", PeerText());
    sendAbandoned = true;
    shutdown(Handle(), SHUT_RDWR);
    close();
}

void QNHTTPRequest::close() {
    pieces.clear();
    if (socket) socket->Close();
}
