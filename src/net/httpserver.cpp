#include "net/httpserver.h"

#include "foundation/qmessage.h"
#include "net/localnames.h"
#include "net/socket.h"

#include <algorithm>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <random>
#include <sys/eventfd.h>
#include <unistd.h>

QNHTTPServer::QNHTTPServer(int serverPort, int workers, bool scan)
    : port(serverPort), portScan(scan), workerCount(workers), freeWorkers(workers, workers),
      wakeHandle(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

QNHTTPServer::~QNHTTPServer() {
    Stop();
    if (wakeHandle >= 0) close(wakeHandle);
}

bool QNHTTPServer::Start(bool inOwnThread) {
    if (started.exchange(true)) {
        qtrace(QLOC("QNHTTPServer::Start"), "Server allready running!");
        return !listenFailed.load();
    }
    // Listening happens here, so the caller learns at once when the port is taken.
    listener = std::make_unique<QNSocket>(QNSocket::TCP, "HTTPServer");
    if (!listen(*listener)) {
        listener.reset();
        listenFailed = true;
        return false;
    }
    prepareGuard();
    boundPort = listener->BoundPort();
    if (!inOwnThread) {
        serve();
        return true;
    }
    thread = std::make_unique<QThread>(&QNHTTPServer::serverThread, this, "HTTPServer");
    thread->Start();
    return true;
}

void QNHTTPServer::Stop() {
    if (stopping.exchange(true)) return;
    std::uint64_t one = 1;
    if (wakeHandle >= 0 && write(wakeHandle, &one, sizeof one) < 0)
        qwarn(QLOC("QNHTTPServer::Stop"), "HTTPServer: can't wake the server's threads");
    { std::lock_guard<std::mutex> hold(idleLock); }
    idleChanged.notify_all();
    if (thread) thread->Join();
    thread.reset();
}

int QNHTTPServer::WaitUntilListening(int milliseconds) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (listeningPort.load() < 0 && !listenFailed.load() &&
           std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return listeningPort.load();
}

void QNHTTPServer::serverThread(void* server) {
    static_cast<QNHTTPServer*>(server)->serve();
}

void QNHTTPServer::workerThread(void* worker) {
    auto* w = static_cast<Worker*>(worker);
    w->server->work(*w);
}

bool QNHTTPServer::pause(int milliseconds) {
    pollfd wake{wakeHandle, POLLIN, 0};
    poll(&wake, 1, milliseconds);
    return !stopping.load();
}

bool QNHTTPServer::listen(QNSocket& socket) {
    const char* address = bindAddress.IsEmpty() ? nullptr : bindAddress.Text();
    if (portScan) {
        for (int tried = port; tried <= 65535 && !stopping.load(); ++tried)
            if (socket.Listen(tried, 1, true, address)) {
                qtrace(QLOC("QNHTTPServer::ServerThread"), "Started listening on: %d\n", tried);
                return true;
            }
        listenFailure = "no free port from " + std::to_string(port) + " on";
        return false;
    }
    // One try: a port taken by another program stays taken, and waiting for it would
    // only hide that from the user.
    if (socket.Listen(port, LISTEN_BACKLOG, true, address)) return true;
    int error = socket.ListenError();
    std::string where = address ? address : "";
    if (error == QNSocket::LISTEN_UNKNOWN_ADDRESS)
        listenFailure = "unknown address '" + where + "'";
    else if (error == EADDRINUSE)
        listenFailure = "port " + std::to_string(port) + " is in use";
    else if (error == EADDRNOTAVAIL)
        listenFailure = "'" + where + "' is no address of this machine";
    else if (error == EACCES)
        listenFailure = "port " + std::to_string(port) + " is reserved for the system";
    else
        listenFailure = std::strerror(error);
    qwarn(QLOC("QNHTTPServer::ServerThread"),
          "HTTPServer (ServerThread): failed to listen to port %d (%s)", port,
          listenFailure.c_str());
    return false;
}

void QNHTTPServer::prepareGuard() {
    if (!guarded) return;
    localNames = QNLocalNames();
    if (!bindAddress.IsEmpty()) localNames.push_back(QNHostOfHeader(bindAddress.Text()));
    token.clear();
    if (!tokenRequired && QNIsLoopback(bindAddress.Text())) return;
    // Reachable from other machines: a token nobody can guess, new at every start.
    std::random_device random;
    const char* digits = "0123456789abcdef";
    for (int i = 0; i < 32; ++i)
        token += digits[random() % 16];
}

bool QNHTTPServer::admits(const QNHTTPRequest& request) const {
    if (!guarded) return true;
    if (const char* host = request.Headers().Get("host")) {
        std::string name = QNHostOfHeader(host);
        if (std::find(localNames.begin(), localNames.end(), name) == localNames.end()) {
            qtrace(QLOC("QNHTTPServer::Admits"), "Refused a request for host '%s'\n", host);
            return false;
        }
    }
    if (token.empty()) return true;
    const char* given = request.Query().Get(TOKEN_NAME);
    return given && token == given;
}

void QNHTTPServer::serve() {
    QNSocket& socket = *listener;
    // An accept that finds the connection gone again must not block the loop.
    socket.SetNonBlocking(true);
    // Connections are taken once their first bytes are there: one that never sends
    // anything takes no worker, and a worker rarely waits for a request to arrive.
    int deferSeconds = std::max(1, requestTimeout / 1000);
    setsockopt(socket.Handle(), IPPROTO_TCP, TCP_DEFER_ACCEPT, &deferSeconds, sizeof deferSeconds);

    if (!freeWorkers.Wait())
        qtrace(QLOC("QNHTTPServer::ServerThread"), "Error with semaphore acquire!");
    running = true;
    for (int i = 0; i < workerCount; ++i) {
        auto worker = std::make_unique<Worker>();
        worker->server = this;
        worker->wake = std::make_unique<QSema>(0, 1);
        worker->freeWorkers = &freeWorkers;
        worker->thread = std::make_unique<QThread>(&QNHTTPServer::workerThread, worker.get(),
                                                   "HTTPRequest Handler");
        workers.push_back(std::move(worker));
        workers.back()->thread->Start();
    }
    listeningPort = socket.BoundPort();

    acceptLoop(socket);
    socket.Close();
    endWorkers();
    running = false;
}

void QNHTTPServer::acceptLoop(QNSocket& socket) {
    while (!stopping.load()) {
        // One unit stays with this thread, so at most n - 1 requests run at once.
        while (!freeWorkers.Wait(100))
            if (stopping.load()) return;
        qtrace(QLOC("QNHTTPServer::ServerThread"),
               "HTTPServer:ServerThread(); accepting new connection...\n");
        std::unique_ptr<QNSocket> connection;
        // The listening socket does not block: take a waiting connection, else wait for one.
        bool waiting = false;
        while (!(connection = socket.Accept(0))) {
            // One there that cannot be taken (the process is out of descriptors): give the
            // others time to close theirs instead of trying again at once.
            if (waiting && !pause(50)) return;
            pollfd waits[2] = {{socket.Handle(), POLLIN, 0}, {wakeHandle, POLLIN, 0}};
            poll(waits, 2, -1);
            if (stopping.load()) return;
            waiting = waits[0].revents & POLLIN;
        }
        auto acceptedAt = QNHTTPRequest::Clock::now();
        auto* request = new QNHTTPRequest(this, std::move(connection));

        Worker* chosen = nullptr;
        {
            std::unique_lock<std::mutex> hold(idleLock);
            idleChanged.wait(hold, [&] {
                for (auto& w : workers)
                    if (w->idle.load()) {
                        chosen = w.get();
                        return true;
                    }
                return stopping.load();
            });
            if (chosen) {
                chosen->idle = false;
                chosen->request = request;
                chosen->acceptedAt = acceptedAt;
            }
        }
        if (!chosen) {
            delete request;
            return;
        }
        chosen->wake->Release();
    }
}

void QNHTTPServer::work(Worker& w) {
    for (;;) {
        {
            std::lock_guard<std::mutex> hold(idleLock);
            w.idle = true;
        }
        idleChanged.notify_one();
        w.wake->Wait();
        QNHTTPRequest* request;
        QNHTTPRequest::Clock::time_point deadline;
        {
            std::lock_guard<std::mutex> hold(idleLock);
            request = w.request;
            w.request = nullptr;
            deadline = w.acceptedAt + std::chrono::milliseconds(requestTimeout);
        }
        if (!request) return; // woken to end
        if (request->Read(deadline, wakeHandle)) {
            request->SetSendTimeout(sendTimeout);
            if (admits(*request)) {
                HandleRequest(*request);
            } else {
                request->SetStatus(403);
            }
            request->Finish();
        }
        delete request;
        w.freeWorkers->Release();
    }
}

void QNHTTPServer::endWorkers() {
    for (auto& w : workers) {
        {
            std::lock_guard<std::mutex> hold(idleLock);
            delete w->request; // handed over but never taken
            w->request = nullptr;
        }
        w->wake->Release();
    }
    for (auto& w : workers)
        w->thread->Join();
    workers.clear();
}
