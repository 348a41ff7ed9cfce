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
#include <vector>

class QNSocket;

class QNHTTPServer {
  public:
    static constexpr int LISTEN_BACKLOG = 15;
    static constexpr int LISTEN_TRIES = 120;
    static constexpr int LISTEN_RETRY_MILLISECONDS = 500;
    // A connection gets this long from its accept to deliver its whole request.
    static constexpr int REQUEST_TIMEOUT_MILLISECONDS = 10000;

    QNHTTPServer(int port, int workerCount, bool portScan);
    // A concrete server must call Stop in its own destructor: the workers call its
    // HandleRequest until then.
    virtual ~QNHTTPServer();
    QNHTTPServer(const QNHTTPServer&) = delete;
    QNHTTPServer& operator=(const QNHTTPServer&) = delete;

    // Runs on a worker thread: fills the response of the request.
    virtual void HandleRequest(QNHTTPRequest& request) = 0;

    // Serves on a thread of its own, or on the calling thread (returning once stopped).
    void Start(bool inOwnThread);
    // Ends the accept thread and, once their requests are done, the workers; a request
    // handed over but not yet taken is dropped unanswered. The port is free afterwards.
    void Stop();

    // Set before Start: the address to listen on (every local address without one).
    void SetBindAddress(const char* address) { bindAddress = address; }
    void SetRequestTimeout(int milliseconds) { requestTimeout = milliseconds; }

    bool IsRunning() const { return running.load(); }
    // Waits until the server listens; the port it listens on, or -1 when it did not in time.
    int WaitUntilListening(int milliseconds);

    int Port() const { return port; }
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
    std::atomic<bool> started{false};
    std::atomic<bool> stopping{false};
    std::atomic<int> listeningPort{-1};
    // Readable once Stop was called: wakes every blocking wait of the server's threads.
    int wakeHandle;
    // The picking of idle workers waits here when all of them are still finishing.
    std::mutex idleLock;
    std::condition_variable idleChanged;
};
