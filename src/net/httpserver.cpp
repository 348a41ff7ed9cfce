#include "net/httpserver.h"

#include "foundation/qmessage.h"
#include "net/socket.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

namespace {

// A listener that can't take a connection (the process is out of descriptors) waits this
// long before it tries again, rather than waking the loop at once.
constexpr auto LISTEN_PAUSE = std::chrono::milliseconds(50);

void signal(int eventHandle) {
    std::uint64_t one = 1;
    if (eventHandle >= 0 && write(eventHandle, &one, sizeof one) < 0)
        qwarn(QLOC("QNHTTPServer::Signal"), "HTTPServer: can't wake the server's loop");
}

void drain(int eventHandle) {
    std::uint64_t count;
    while (read(eventHandle, &count, sizeof count) > 0) {
    }
}

} // namespace

QNHTTPServer::QNHTTPServer(int serverPort, int workers, bool scan)
    : port(serverPort), portScan(scan), workerCount(workers),
      wakeHandle(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      returnedHandle(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

QNHTTPServer::~QNHTTPServer() {
    Stop();
    if (wakeHandle >= 0) close(wakeHandle);
    if (returnedHandle >= 0) close(returnedHandle);
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
    if (guarded) guard.Prepare(bindAddress.IsEmpty() ? "" : bindAddress.Text(), tokenRequired);
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
    signal(wakeHandle);
    { std::lock_guard<std::mutex> hold(queueLock); }
    queueChanged.notify_all();
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

void QNHTTPServer::serve() {
    QNSocket& socket = *listener;
    // The loop never waits on one socket: it polls them all.
    socket.SetNonBlocking(true);
    running = true;
    for (int i = 0; i < workerCount; ++i) {
        workers.push_back(
            std::make_unique<QThread>(&QNHTTPServer::workerThread, this, "HTTPRequest Handler"));
        workers.back()->Start();
    }
    listeningPort = socket.BoundPort();

    loop(socket);
    socket.Close();
    held.clear(); // closes every connection the loop still holds
    endWorkers();
    running = false;
}

void QNHTTPServer::loop(QNSocket& socket) {
    Clock::time_point listenAgain{};
    std::vector<pollfd> waits;
    std::vector<std::uint64_t> orders; // of the held connections, in the order of waits
    constexpr size_t FIRST_HELD = 3;
    while (!stopping.load()) {
        takeBackResponses();
        Clock::time_point now = Clock::now();
        closeLate(now);
        bool listening = now >= listenAgain;
        waits.assign({{wakeHandle, POLLIN, 0},
                      {returnedHandle, POLLIN, 0},
                      {listening ? socket.Handle() : -1, POLLIN, 0}});
        orders.clear();
        for (const auto& [order, connection] : held) {
            waits.push_back(
                {connection.request->Handle(), (short)(connection.sending ? POLLOUT : POLLIN), 0});
            orders.push_back(order);
        }
        int timeout = millisecondsToNextDeadline(now);
        if (!listening) {
            auto pause = std::chrono::ceil<std::chrono::milliseconds>(listenAgain - now).count();
            timeout = timeout < 0 ? (int)pause : std::min(timeout, (int)pause);
        }
        if (poll(waits.data(), waits.size(), timeout) <= 0 || stopping.load()) continue;
        if (waits[1].revents & POLLIN) drain(returnedHandle); // taken back at the loop's top
        for (size_t i = 0; i < orders.size(); ++i) {
            if (!waits[FIRST_HELD + i].revents) continue;
            auto at = held.find(orders[i]);
            if (at != held.end()) advance(at);
        }
        if ((waits[2].revents & POLLIN) && !acceptWaiting(socket))
            listenAgain = Clock::now() + LISTEN_PAUSE;
    }
}

bool QNHTTPServer::acceptWaiting(QNSocket& socket) {
    for (;;) {
        std::unique_ptr<QNSocket> connection = socket.Accept(0);
        if (!connection) {
            int error = socket.AcceptError();
            if (error == ECONNABORTED || error == EINTR) continue; // that client gave up
            return error == EAGAIN || error == EWOULDBLOCK;
        }
        makeRoom();
        auto deadline = Clock::now() + std::chrono::milliseconds(requestTimeout);
        held.emplace(++accepted,
                     Held{std::make_unique<QNHTTPRequest>(this, std::move(connection)), deadline});
    }
}

void QNHTTPServer::makeRoom() {
    for (;;) {
        Request gone;
        {
            std::lock_guard<std::mutex> hold(queueLock);
            if ((int)(held.size() + ready.size()) < std::max(1, connectionLimit)) return;
            if (!ready.empty() && (held.empty() || ready.front().order < held.begin()->first)) {
                gone = std::move(ready.front().request);
                ready.pop_front();
            }
        }
        if (!gone) {
            gone = std::move(held.begin()->second.request);
            held.erase(held.begin());
        }
        qtrace(QLOC("QNHTTPServer::MakeRoom"),
               "Closed the connection from %s: more than %d connections\n", gone->PeerText(),
               connectionLimit);
    }
}

void QNHTTPServer::advance(std::map<std::uint64_t, Held>::iterator at) {
    Held& connection = at->second;
    if (connection.sending) {
        if (connection.request->SendAvailable() != QNHTTPRequest::SENDING) held.erase(at);
        return;
    }
    QNHTTPRequest::Reading reading = connection.request->ReadAvailable();
    if (reading == QNHTTPRequest::READING) return;
    std::uint64_t order = at->first;
    Request request = std::move(connection.request);
    held.erase(at);
    if (reading == QNHTTPRequest::READ) {
        dispatch(order, std::move(request));
    } else if (reading == QNHTTPRequest::REFUSED) {
        int status = request->RefusalStatus();
        answer(order, std::move(request), status);
    }
}

void QNHTTPServer::dispatch(std::uint64_t order, Request request) {
    // Checked before any work is done for it, and without a worker.
    if (guarded && !guard.Admits(*request)) return answer(order, std::move(request), 403);
    {
        std::lock_guard<std::mutex> hold(queueLock);
        ready.push_back({order, std::move(request)});
    }
    queueChanged.notify_one();
}

void QNHTTPServer::answer(std::uint64_t order, Request request, int status) {
    request->SetStatus(status);
    request->SetSendTimeout(sendTimeout);
    request->Finish();
    if (!request->Sending()) return;
    auto deadline = request->SendDeadline();
    held.emplace(order, Held{std::move(request), deadline, true});
}

void QNHTTPServer::takeBackResponses() {
    std::vector<Queued> back;
    {
        std::lock_guard<std::mutex> hold(queueLock);
        back.swap(returned);
    }
    for (Queued& q : back) {
        auto deadline = q.request->SendDeadline();
        held.emplace(q.order, Held{std::move(q.request), deadline, true});
    }
}

void QNHTTPServer::closeLate(Clock::time_point now) {
    for (auto at = held.begin(); at != held.end();) {
        Held& connection = at->second;
        if (connection.deadline > now) {
            ++at;
            continue;
        }
        if (connection.sending)
            connection.request->AbandonSend(true);
        else
            qtrace(QLOC("QNHTTPRequest::Read"), "Request from %s not complete in time\n",
                   connection.request->PeerText());
        at = held.erase(at);
    }
}

int QNHTTPServer::millisecondsToNextDeadline(Clock::time_point now) const {
    Clock::time_point next = Clock::time_point::max();
    for (const auto& [order, connection] : held)
        next = std::min(next, connection.deadline);
    if (next == Clock::time_point::max()) return -1;
    // Rounded up: a wake-up just before the deadline would find nothing to close.
    auto left = std::chrono::ceil<std::chrono::milliseconds>(next - now).count();
    return (int)std::clamp<long long>(left, 0, 1 << 30);
}

void QNHTTPServer::workerThread(void* server) {
    static_cast<QNHTTPServer*>(server)->work();
}

void QNHTTPServer::work() {
    // As many as there are workers less one run at once: a pool of n answers n - 1 requests
    // together, as it always has.
    const int most = std::max(1, workerCount - 1);
    for (;;) {
        Queued next;
        {
            std::unique_lock<std::mutex> hold(queueLock);
            queueChanged.wait(
                hold, [&] { return stopping.load() || (!ready.empty() && handling < most); });
            if (stopping.load()) return;
            next = std::move(ready.front());
            ready.pop_front();
            ++handling;
        }
        next.request->SetSendTimeout(sendTimeout);
        HandleRequest(*next.request);
        next.request->Finish();
        // What the client did not take at once the loop sends as it reads: the worker
        // never waits for it.
        bool giveBack = next.request->Sending();
        {
            std::lock_guard<std::mutex> hold(queueLock);
            --handling;
            if (giveBack && !stopping.load()) returned.push_back(std::move(next));
        }
        queueChanged.notify_all();
        if (giveBack) signal(returnedHandle);
    }
}

void QNHTTPServer::endWorkers() {
    { std::lock_guard<std::mutex> hold(queueLock); }
    queueChanged.notify_all();
    for (auto& w : workers)
        w->Join();
    workers.clear();
    // Requests no worker took, and responses given back too late for the loop.
    std::deque<Queued> dropped;
    std::vector<Queued> unsent;
    std::lock_guard<std::mutex> hold(queueLock);
    dropped.swap(ready);
    unsent.swap(returned);
}
