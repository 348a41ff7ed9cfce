// QNSocket: a TCP or UDP socket over the POSIX socket interface. Failures are
// reported through the message log and answered with a neutral result.
#pragma once

#include "foundation/qstring.h"
#include "net/addr.h"

#include <memory>

class QNSocket {
  public:
    enum Type { TCP = 0, UDP = 1 };
    enum Options {
        BROADCAST = 0x01,
        REUSE_ADDRESS = 0x04,
        NO_BIND = 0x20,
    };

    QNSocket(int type, const char* name);
    ~QNSocket();
    QNSocket(const QNSocket&) = delete;
    QNSocket& operator=(const QNSocket&) = delete;

    // TCP server side. Binds to every local address, or to the one given.
    bool Listen(int port, int backlog, bool quiet = false, const char* bindAddress = nullptr);
    // Why the last Listen failed: the system's error number, or LISTEN_UNKNOWN_ADDRESS.
    int ListenError() const { return listenError; }
    static constexpr int LISTEN_UNKNOWN_ADDRESS = -1;
    // Waits at most timeoutMicroseconds (0: for ever) for a connection.
    std::unique_ptr<QNSocket> Accept(long timeoutMicroseconds);
    // Why the last Accept gave none: the system's error number (EAGAIN: nothing waiting).
    int AcceptError() const { return acceptError; }
    // A TCP socket that owns a connection made elsewhere (an accepted or a paired handle).
    static std::unique_ptr<QNSocket> FromHandle(int handle, const char* name);

    // UDP (towards host when given, else bound to the port on every local address or the
    // one given), or a TCP client connecting to host.
    bool Open(int port, int options, const char* host = nullptr, const char* bindAddress = nullptr);

    // Bytes received (at most 4096), 0 when nothing is there yet, -1 on failure.
    int Read(void* buffer, int n, QNAddress* sender = nullptr);
    int Write(const void* data, int n, const QNAddress* to = nullptr);

    int SetNonBlocking(bool on);
    void Close();

    bool IsOpen() const { return handle >= 0; }
    int Handle() const { return handle; }
    const char* Name() const { return name.Text(); }
    const char* PeerText() const { return peer; }
    int Port() const { return port; }
    // The port the socket is bound to (useful after binding port 0), or -1.
    int BoundPort() const;

  private:
    int handle = -1;
    int options = 0;
    int type;
    QNAddress local;
    QNAddress remote;
    char peer[16] = {0};
    int port = 0;
    int listenError = 0;
    int acceptError = 0;
    qstring name;
};
