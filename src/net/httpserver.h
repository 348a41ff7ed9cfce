// QNHTTPServer: a small HTTP/1.0 server. One thread ("HTTPServer") accepts connections
// and hands each to a fixed pool of workers ("HTTPRequest Handler"); a worker reads the
// one request of its connection, calls HandleRequest and closes the connection.
#pragma once

#include "foundation/qstring.h"
#include "foundation/qsync.h"
#include "foundation/qthread.h"
#include "net/httprequest.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QNSocket;

class QNHTTPServer {
  public:
    static constexpr int LISTEN_BACKLOG = 15;
    // A connection gets this long from its accept to deliver its whole request.
    static constexpr int REQUEST_TIMEOUT_MILLISECONDS = 10000;
    // ... and this long from the first byte of its response to take all of it.
    static constexpr int SEND_TIMEOUT_MILLISECONDS = 10000;
    // The query value that carries the access token.
    static constexpr const char* TOKEN_NAME = "key";

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
    // Ends the accept thread and, once their requests are done, the workers; a request
    // handed over but not yet taken is dropped unanswered. The port is free afterwards.
    void Stop();

    // Set before Start: the address to listen on (every local address without one).
    void SetBindAddress(const char* address) { bindAddress = address; }
    void SetRequestTimeout(int milliseconds) { requestTimeout = milliseconds; }
    void SetSendTimeout(int milliseconds) { sendTimeout = milliseconds; }
    // Set before Start: answers only requests whose Host header (when there is one) names
    // this machine, so a web page elsewhere can't read the server through a name of its
    // own (DNS rebinding); and, when listening beyond loopback, only requests that carry
    // the token, a new one at every start. Refused requests get a bare 403.
    void SetGuarded(bool on) { guarded = on; }
    // Asks for the token on loopback too (a guarded server beyond loopback always does).
    void RequireToken() { tokenRequired = true; }
    // The token every request must carry as "key=..." (empty when none is needed).
    const std::string& Token() const { return token; }
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
    struct Worker {
        QNHTTPServer* server = nullptr;
        std::unique_ptr<QThread> thread;
        std::unique_ptr<QSema> wake; // hands over exactly one request
        QSema* freeWorkers = nullptr;
        std::atomic<bool> idle{false};
        QNHTTPRequest* request = nullptr;
        QNHTTPRequest::Clock::time_point acceptedAt;
    };

    static void serverThread(void* server);
    static void workerThread(void* worker);
    void serve();
    bool listen(QNSocket& socket);
    void prepareGuard();
    bool admits(const QNHTTPRequest& request) const;
    void acceptLoop(QNSocket& socket);
    void work(Worker& worker);
    // Sleeps, or less when the server is being stopped; false when it is.
    bool pause(int milliseconds);
    void endWorkers();

    int port;
    std::atomic<bool> running{false};
    bool portScan;
    int workerCount;
    QMutex mutex;
    QSema freeWorkers;
    std::unique_ptr<QThread> thread;
    std::vector<std::unique_ptr<Worker>> workers;

    qstring bindAddress;
    int requestTimeout = REQUEST_TIMEOUT_MILLISECONDS;
    int sendTimeout = SEND_TIMEOUT_MILLISECONDS;
    std::unique_ptr<QNSocket> listener;
    std::atomic<bool> listenFailed{false};
    std::atomic<int> boundPort{-1};
    std::string listenFailure;
    bool guarded = false;
    bool tokenRequired = false;
    std::string token;
    std::vector<std::string> localNames;
    std::atomic<bool> started{false};
    std::atomic<bool> stopping{false};
    std::atomic<int> listeningPort{-1};
    // Readable once Stop was called: wakes every blocking wait of the server's threads.
    int wakeHandle;
    // The picking of idle workers waits here when all of them are still finishing.
    std::mutex idleLock;
    std::condition_variable idleChanged;
};
