#include "net/httpserver.h"

#include "foundation/qmessage.h"
#include "net/socket.h"

#include <algorithm>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

QNHTTPServer::QNHTTPServer(int serverPort, int workers, bool scan)
    : port(serverPort), portScan(scan), workerCount(workers), freeWorkers(workers, workers),
      wakeHandle(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

QNHTTPServer::~QNHTTPServer() {
    Stop();
    if (wakeHandle >= 0) close(wakeHandle);
}

void QNHTTPServer::Start(bool inOwnThread) {
    if (started.exchange(true)) {
        qtrace(QLOC("QNHTTPServer::Start"), "Server allready running!");
        return;
    }
    if (!inOwnThread) {
        serve();
        return;
    }
    thread = std::make_unique<QThread>(&QNHTTPServer::serverThread, this, "HTTPServer");
    thread->Start();
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
    while (listeningPort.load() < 0 && std::chrono::steady_clock::now() < until)
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
        return false;
    }
    for (int attempt = 1; attempt <= LISTEN_TRIES; ++attempt) {
        if (socket.Listen(port, LISTEN_BACKLOG, true, address)) return true;
        qwarn(QLOC("QNHTTPServer::ServerThread"),
              "HTTPServer (ServerThread): failed to listen to port %d", port);
        if (attempt < LISTEN_TRIES && !pause(LISTEN_RETRY_MILLISECONDS)) return false;
    }
    qerr(QLOC("QNHTTPServer::ServerThread"), "Failed to open socket within %d retries!",
         LISTEN_TRIES);
    return false;
}

void QNHTTPServer::serve() {
    QNSocket socket(QNSocket::TCP, "HTTPServer");
    if (!listen(socket)) return;
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
            HandleRequest(*request);
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
