// QNHTTPServer: a small HTTP/1.0 server. One thread ("HTTPServer") holds every connection
// in one poll loop: it accepts them, reads their requests as the bytes come, checks them,
// and sends what the responses still owe. Only a whole request that passed the checks goes
// to the fixed pool of workers ("HTTPRequest Handler"), which call HandleRequest; no worker
// ever waits for a client.
#pragma once

#include "foundation/qstring.h"
#include "foundation/qthread.h"
#include "net/httprequest.h"
#include "net/request_guard.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QNSocket;

class QNHTTPServer {
  public:
    // Connections wait here to be accepted only for a moment: the loop takes each at once.
    static constexpr int LISTEN_BACKLOG = 128;
    // A connection gets this long from its accept to deliver its whole request.
    static constexpr int REQUEST_TIMEOUT_MILLISECONDS = 10000;
    // ... and this long from the first byte of its response to take all of it.
    static constexpr int SEND_TIMEOUT_MILLISECONDS = 10000;
    // Connections held at once (reading, waiting for a worker or being sent to); beyond
    // it the oldest goes.
    static constexpr int CONNECTION_LIMIT = 256;
    // The query value that carries the access token.
    static constexpr const char* TOKEN_NAME = QNRequestGuard::TOKEN_NAME;

    QNHTTPServer(int port, int workerCount, bool portScan);
    // A concrete server must call Stop in its own destructor: the workers call its
    // HandleRequest until then.
    virtual ~QNHTTPServer();
    QNHTTPServer(const QNHTTPServer&) = delete;
    QNHTTPServer& operator=(const QNHTTPServer&) = delete;

    // Runs on a worker thread: fills the response of the request.
    virtual void HandleRequest(QNHTTPRequest& request) = 0;

    // Listens, then serves on a thread of its own, or on the calling thread (returning once
    // stopped). False at once when it can't listen; ListenFailure says why.
    bool Start(bool inOwnThread);
    // Ends the loop, closing every connection it holds whatever the clients do, and, once
    // their requests are done, the workers. A request waiting for a worker is dropped
    // unanswered. The port is free afterwards.
    void Stop();
    // True once Stop was called: long work for a request may end early.
    bool Stopping() const { return stopping.load(); }

    // Set before Start: the address to listen on (every local address without one).
    void SetBindAddress(const char* address) { bindAddress = address; }
    void SetRequestTimeout(int milliseconds) { requestTimeout = milliseconds; }
    void SetSendTimeout(int milliseconds) { sendTimeout = milliseconds; }
    void SetConnectionLimit(int connections) { connectionLimit = connections; }
    // Set before Start: answers only requests whose Host header (when there is one) names
    // this machine, so a web page elsewhere can't read the server through a name of its
    // own (DNS rebinding); and, when listening beyond loopback, only requests that carry
    // the token, a new one at every start. Refused requests get a bare 403.
    void SetGuarded(bool on) { guarded = on; }
    // Asks for the token on loopback too (a guarded server beyond loopback always does).
    void RequireToken() { tokenRequired = true; }
    // The token every request must carry as "key=..." (empty when none is needed).
    const std::string& Token() const { return guard.Token(); }
    // Why Start could not listen ("port 8100 is in use", ...); empty when it listens.
    const std::string& ListenFailure() const { return listenFailure; }

    bool IsRunning() const { return running.load(); }
    // Waits until the server listens; the port it listens on, or -1 when it did not in time.
    int WaitUntilListening(int milliseconds);

    int Port() const { return port; }
    // The port it listens on (the one chosen for port 0) once Start returned true, else -1.
    int ListeningPort() const { return boundPort.load(); }
    int WorkerCount() const { return workerCount; }

  private:
    using Clock = QNHTTPRequest::Clock;
    using Request = std::unique_ptr<QNHTTPRequest>;
    // A connection the loop holds, by the order of its accept (the oldest first).
    struct Held {
        Request request;
        Clock::time_point deadline;
        bool sending = false; // else reading its request
    };
    struct Queued {
        std::uint64_t order;
        Request request;
    };

    static void serverThread(void* server);
    void serve();
    bool listen(QNSocket& socket);
    void loop(QNSocket& listener);
    // Takes every connection waiting on the listener; false when one could not be taken.
    bool acceptWaiting(QNSocket& listener);
    void makeRoom();
    // The held connection had bytes or room: reads or sends on.
    void advance(std::map<std::uint64_t, Held>::iterator at);
    // A whole request: to a worker when it passes the checks, else answered here.
    void dispatch(std::uint64_t order, Request request);
    void answer(std::uint64_t order, Request request, int status);
    void takeBackResponses();
    void closeLate(Clock::time_point now);
    int millisecondsToNextDeadline(Clock::time_point now) const;

    static void workerThread(void* server);
    void work();
    void endWorkers();

    int port;
    std::atomic<bool> running{false};
    bool portScan;
    int workerCount;
    std::vector<std::unique_ptr<QThread>> workers;
    std::unique_ptr<QThread> thread;

    qstring bindAddress;
    int requestTimeout = REQUEST_TIMEOUT_MILLISECONDS;
    int sendTimeout = SEND_TIMEOUT_MILLISECONDS;
    int connectionLimit = CONNECTION_LIMIT;
    std::unique_ptr<QNSocket> listener;
    std::atomic<bool> listenFailed{false};
    std::atomic<int> boundPort{-1};
    std::string listenFailure;
    bool guarded = false;
    bool tokenRequired = false;
    QNRequestGuard guard;
    std::atomic<bool> started{false};
    std::atomic<bool> stopping{false};
    std::atomic<int> listeningPort{-1};
    // Readable once Stop was called: wakes the loop.
    int wakeHandle;
    // Readable when a worker gave a response back for the loop to finish sending.
    int returnedHandle;

    // The loop's own.
    std::map<std::uint64_t, Held> held;
    std::uint64_t accepted = 0;

    // Between the loop and the workers, under queueLock: requests for the workers (at most
    // workerCount - 1 handled at once), and responses the workers could not send at once.
    std::mutex queueLock;
    std::condition_variable queueChanged;
    std::deque<Queued> ready;
    std::vector<Queued> returned;
    int handling = 0;
};
