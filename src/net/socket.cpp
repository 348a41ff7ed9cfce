#include "net/socket.h"

#include "foundation/qmessage.h"
#include "net/global.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int MAX_READ = 4096;

bool dropThisOne() {
    int percentage = qnDropPercentage();
    if (percentage <= 0) return false;
    thread_local std::minstd_rand random(std::random_device{}());
    return (int)(random() % 100) < percentage;
}

} // namespace

QNSocket::QNSocket(int socketType, const char* socketName) : type(socketType), name(socketName) {
    if (!qnStarted()) qnInit();
}

QNSocket::~QNSocket() {
    Close();
}

void QNSocket::Close() {
    if (handle >= 0) ::close(handle);
    handle = -1;
}

int QNSocket::BoundPort() const {
    sockaddr_in bound{};
    socklen_t size = sizeof bound;
    if (handle < 0 || getsockname(handle, (sockaddr*)&bound, &size) != 0) return -1;
    return ntohs(bound.sin_port);
}

bool QNSocket::Listen(int listenPort, int backlog, bool quiet, const char* bindAddress) {
    Close();
    listenError = 0;
    handle = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle < 0) {
        listenError = errno;
        qnError("QNSocket:Listen(): can't create socket");
        return false;
    }
    // Lets a restarted server take its port back from connections still closing.
    int yes = 1;
    setsockopt(handle, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    local.Set(AF_INET, INADDR_ANY, listenPort);
    if (bindAddress && !local.GetByName(bindAddress)) {
        listenError = LISTEN_UNKNOWN_ADDRESS;
        Close();
        return false;
    }
    port = listenPort;
    const sockaddr_in& at = local.SocketAddress();
    if (bind(handle, (const sockaddr*)&at, sizeof at) != 0) {
        listenError = errno;
        if (!quiet)
            qwarn(QLOC("QNSocket::Listen"), "QNSocket:Listen(): bind failed; %s", strerror(errno));
        Close();
        return false;
    }
    if (listen(handle, backlog) != 0) {
        listenError = errno;
        qwarn(QLOC("QNSocket::Listen"), "QNSocket:Listen(): listen() failed");
        Close();
        return false;
    }
    return true;
}

std::unique_ptr<QNSocket> QNSocket::Accept(long timeoutMicroseconds) {
    acceptError = EAGAIN;
    if (handle < 0) return nullptr;
    if (timeoutMicroseconds != 0) {
        fd_set pending;
        FD_ZERO(&pending);
        FD_SET(handle, &pending);
        timeval wait{timeoutMicroseconds / 1000000, timeoutMicroseconds % 1000000};
        if (select(handle + 1, &pending, nullptr, nullptr, &wait) <= 0) return nullptr;
    }
    sockaddr_in from{};
    socklen_t size = sizeof from;
    int accepted = ::accept4(handle, (sockaddr*)&from, &size, SOCK_CLOEXEC);
    if (accepted < 0) {
        acceptError = errno;
        // A client that gave up before it was taken is its own business, not a failure.
        if (acceptError != ECONNABORTED) qnError("QNSocket:Accept() failed");
        return nullptr;
    }
    acceptError = 0;
    auto connection = FromHandle(accepted, "TCP_accept");
    auto* bytes = (const unsigned char*)&from.sin_addr.s_addr;
    std::snprintf(connection->peer, sizeof connection->peer, "%d.%d.%d.%d", bytes[0], bytes[1],
                  bytes[2], bytes[3]);
    return connection;
}

std::unique_ptr<QNSocket> QNSocket::FromHandle(int connected, const char* socketName) {
    auto connection = std::make_unique<QNSocket>(TCP, socketName);
    connection->handle = connected;
    return connection;
}

bool QNSocket::Open(int openPort, int openOptions, const char* host, const char* bindAddress) {
    if (handle >= 0) {
        qnError(
            "QNSocket:Open() called after the socket was already opened (doubly open) - closing");
        Close();
    }
    if (qnPortOffset() > 0) {
        openPort += qnPortOffset();
        qinform(QLOC("QNSocket::Open"), "[QNSocket:Open %s] Use port offset", name.Text());
    }
    port = openPort;
    options = openOptions;

    if (type == UDP) {
        handle = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (handle < 0) {
            qnError("QNSocket:Open() [%s]; can't create socket", name.Text());
            return false;
        }
        int yes = 1;
        if (options & REUSE_ADDRESS) setsockopt(handle, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        local.Set(AF_INET, INADDR_ANY, port);
        remote.Set(AF_INET, INADDR_ANY, port);
        if (host && host[0]) {
            if (!remote.GetByName(host)) {
                Close();
                return false;
            }
            remote.SetPort(port);
        } else if (!(options & NO_BIND)) {
            if (bindAddress && !local.GetByName(bindAddress)) {
                Close();
                return false;
            }
            local.SetPort(port);
            const sockaddr_in& at = local.SocketAddress();
            if (bind(handle, (const sockaddr*)&at, sizeof at) != 0) {
                qnError("QNSocket:Open() [%s]; can't bind port %d", name.Text(), port);
                Close();
                return false;
            }
        }
        if (options & BROADCAST) setsockopt(handle, SOL_SOCKET, SO_BROADCAST, &yes, sizeof yes);
        return true;
    }
    if (type == TCP) {
        if (!host || !remote.GetByName(host)) {
            qnError("QClientSocket::Open() [%s]; host '%s' unknown", name.Text(), host ? host : "");
            return false;
        }
        remote.SetPort(port);
        handle = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_in& to = remote.SocketAddress();
        if (handle < 0 || connect(handle, (const sockaddr*)&to, sizeof to) != 0) {
            qnError("QSocket::Open() [%s]; can't connect to '%s'", name.Text(), host);
            Close();
            return false;
        }
        return true;
    }
    errno = 0;
    qnError("QNSocket:Open() [%s]; unknown type %d", name.Text(), type);
    return false;
}

int QNSocket::Read(void* buffer, int n, QNAddress* sender) {
    if (handle < 0 || !buffer || n <= 0) return 0;
    if (n > MAX_READ) n = MAX_READ;
    ssize_t got;
    if (sender) {
        socklen_t size = sizeof(sockaddr_in);
        got = recvfrom(handle, buffer, n, 0, (sockaddr*)&sender->SocketAddress(), &size);
    } else {
        got = recv(handle, buffer, n, 0);
    }
    if (got < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        qnError("QNSocket:Read() failed");
        return -1;
    }
    if (got > 0 && dropThisOne()) return 0;
    return (int)got;
}

int QNSocket::Write(const void* data, int n, const QNAddress* to) {
    if (handle < 0 || !data || n <= 0) return 0;
    ssize_t sent;
    const QNAddress* target = to;
    QNAddress broadcast;
    if (type == TCP) {
        sent = send(handle, data, n, MSG_NOSIGNAL); // a closed peer is an error, not a signal
    } else {
        if (options & BROADCAST) {
            broadcast.Set(AF_INET, INADDR_BROADCAST, port);
            target = &broadcast;
        } else if (!to) {
            qerr(QLOC("QNSocket::Write"), "QNSocket:Write() [%s]; 'addr'=0", name.Text());
            return 0;
        }
        const sockaddr_in& at = target->SocketAddress();
        sent = sendto(handle, data, n, MSG_NOSIGNAL, (const sockaddr*)&at, sizeof at);
    }
    if (sent < 0)
        qnError("QNSocket:Write(); failed (%s:%d)", target ? target->Text() : "<no_addr>",
                target ? target->Port() : port);
    return (int)sent;
}

int QNSocket::SetNonBlocking(bool on) {
    if (handle < 0) {
        qwarn(QLOC("QNSocket::SetNonBlocking"),
              "[%s] Non-blocking can only be set after creating the socket", name.Text());
        return -1;
    }
    int current = fcntl(handle, F_GETFL, 0);
    int wanted = on ? (current | O_NONBLOCK) : (current & ~O_NONBLOCK);
    if (current < 0 || fcntl(handle, F_SETFL, wanted) != 0) {
        qnError("QNSocket:SetNonBlocking() [%s]; can't set", name.Text());
        return -1;
    }
    return 0;
}
