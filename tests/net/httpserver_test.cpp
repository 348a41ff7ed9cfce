#include "net/httpserver.h"

#include "foundation/qsync.h"
#include "net/global.h"
#include "support/http_client.h"
#include "support/log_capture.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <gmock/gmock.h>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

using ::testing::HasSubstr;
using namespace http_test;

namespace {

// What a handler saw of one request, copied out of the worker thread.
struct Seen {
    int method = -1;
    int version = -1;
    std::string path, queryString, body;
    bool iPad = false;
    std::vector<std::pair<std::string, std::string>> query, form, headers;
};

std::vector<std::pair<std::string, std::string>> Pairs(const QNameTable& table) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (int i = 0; i < table.Count(); ++i)
        pairs.emplace_back(table.NameAt(i), table.ValueAt(i));
    return pairs;
}

// Records every request it is handed and answers through the test's handler.
class RecordingServer : public QNHTTPServer {
  public:
    explicit RecordingServer(int workers = 8) : QNHTTPServer(0, workers, false) {
        SetBindAddress("127.0.0.1");
    }
    ~RecordingServer() override { Stop(); }

    void HandleRequest(QNHTTPRequest& r) override {
        Seen s;
        s.method = r.Method();
        s.version = r.Version();
        s.path = r.Path();
        s.queryString = r.QueryString();
        s.body = r.Body() ? r.Body() : "<none>";
        s.iPad = r.IsIPad();
        s.query = Pairs(r.Query());
        s.form = Pairs(r.Form());
        s.headers = Pairs(r.Headers());
        {
            std::lock_guard<std::mutex> hold(lock);
            seen.push_back(s);
        }
        entered.Release();
        if (handler) handler(r);
    }

    int Listen() {
        Start(true);
        return WaitUntilListening(ANSWER_SECONDS * 1000);
    }
    std::vector<Seen> Requests() {
        std::lock_guard<std::mutex> hold(lock);
        return seen;
    }

    std::function<void(QNHTTPRequest&)> handler;
    QSema entered{0, 1000};

  private:
    std::mutex lock;
    std::vector<Seen> seen;
};

class HTTPServerTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        qnInit();
        RestartLog();
    }
};

using Pairs_ = std::vector<std::pair<std::string, std::string>>;

TEST_F(HTTPServerTest, ReadsTheRequestLineHeadersQueryAndForm) {
    struct Case {
        std::string request;
        int method, version;
        std::string path, queryString;
        Pairs_ query, headers;
    };
    const Case cases[] = {
        {"GET /view?root=0012FF7C HTTP/1.1\r\n\r\n",
         0,
         1,
         "/view",
         "root=0012FF7C",
         {{"root", "0012FF7C"}},
         {}},
        {"GET / HTTP/1.0\r\nHost: x\r\n\r\n", 0, 0, "/", "", {}, {{"host", "x"}}},
        {"GET /?a=1&b=&c HTTP/1.0\r\n\r\n", 0, 0, "/", "a=1&b=&c", {{"a", "1"}}, {}},
        {"GET /?a+b=%41 HTTP/1.0\r\n\r\n", 0, 0, "/", "a+b=%41", {{"a b", "A"}}, {}},
        // Header names go to lower case; a line without a colon is skipped; "Name:" has
        // the empty value; a later header of the same name replaces the earlier one.
        {"GET /x HTTP/1.0\nAccept-Language: de\nno colon here\nEmpty:\nhost: a\nHOST: b\n\n",
         0,
         0,
         "/x",
         "",
         {},
         {{"accept-language", "de"}, {"empty", ""}, {"host", "b"}}},
        {"GET /?=v&k=a=b HTTP/1.0\r\n\r\n", 0, 0, "/", "=v&k=a=b", {{"", "v"}, {"k", "a=b"}}, {}},
    };
    for (const Case& c : cases) {
        RecordingServer server;
        int port = server.Listen();
        ASSERT_GT(port, 0);
        EXPECT_EQ(Exchange(port, c.request), "HTTP/1.0 500 Error\r\n\r\n") << c.request;
        auto seen = server.Requests();
        ASSERT_EQ(seen.size(), 1u) << c.request;
        EXPECT_EQ(seen[0].method, c.method) << c.request;
        EXPECT_EQ(seen[0].version, c.version) << c.request;
        EXPECT_EQ(seen[0].path, c.path) << c.request;
        EXPECT_EQ(seen[0].queryString, c.queryString) << c.request;
        EXPECT_EQ(seen[0].query, c.query) << c.request;
        EXPECT_EQ(seen[0].headers, c.headers) << c.request;
        EXPECT_EQ(seen[0].body, "<none>");
        EXPECT_FALSE(seen[0].iPad);
    }
}

TEST_F(HTTPServerTest, PostBodiesAndTheIPadFlag) {
    RecordingServer server;
    int port = server.Listen();
    ASSERT_GT(port, 0);
    // The body arrives partly with the head and partly in a later send.
    int handle = Connect(port);
    ASSERT_GE(handle, 0);
    SendAll(handle,
            "POST /form HTTP/1.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
            "Content-Length: 21\r\nUser-Agent: Mozilla/5.0 (iPad; CPU OS 5_1)\r\n\r\nname=A%26B");
    ASSERT_TRUE(ServerHasRead(handle)) << "the server read the head before the rest was sent";
    SendAll(handle, "&note=x+y");
    SendAll(handle, "++");
    EXPECT_EQ(ReadAll(handle), "HTTP/1.0 500 Error\r\n\r\n");
    close(handle);

    // Another content type keeps the body but fills no form.
    EXPECT_EQ(Exchange(port, "POST / HTTP/1.0\r\ncontent-type: text/plain\r\ncontent-length: "
                             "3\r\n\r\na=b"),
              "HTTP/1.0 500 Error\r\n\r\n");
    auto seen = server.Requests();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].method, QNHTTPRequest::POST);
    EXPECT_EQ(seen[0].body, "name=A%26B&note=x+y++");
    EXPECT_EQ(seen[0].form, (Pairs_{{"name", "A&B"}, {"note", "x y  "}}));
    EXPECT_TRUE(seen[0].iPad);
    EXPECT_EQ(seen[1].body, "a=b");
    EXPECT_TRUE(seen[1].form.empty());
}

// Each of these is closed without a single byte of response and never reaches the handler.
TEST_F(HTTPServerTest, UnreadableRequestsAreClosedWithoutAResponse) {
    const std::string cases[] = {
        "PUT / HTTP/1.0\r\n\r\n",
        "GET / HTTP/2.0\r\n\r\n",
        "GET / HTTP/1.0 extra\r\n\r\n",
        "GET /HTTP/1.0\r\n\r\n",
        "GET\r\n\r\n",
        "GET / HTTP/1.0\r\nHost: x\r\n",                    // the connection ends in the head
        "POST / HTTP/1.0\r\ncontent-length: 10\r\n\r\nabc", // ... or in the body
        "POST / HTTP/1.0\r\ncontent-length: 99999999999\r\n\r\n",
        "POST / HTTP/1.0\r\ncontent-length: -1\r\n\r\n",
        std::string(1600, 'A'),
    };
    RecordingServer server;
    int port = server.Listen();
    ASSERT_GT(port, 0);
    for (const std::string& request : cases) {
        int handle = Connect(port);
        ASSERT_GE(handle, 0);
        SendAll(handle, request);
        shutdown(handle, SHUT_WR);
        EXPECT_EQ(ReadAll(handle), "") << request;
        close(handle);
    }
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(HTTPServerTest, ALineLongerThanTheBufferFailsWithTheBufferMessage) {
    RecordingServer server;
    int port = server.Listen();
    ASSERT_GT(port, 0);
    // Held open: the read fails on the full buffer, not on the end of the connection.
    int handle = Connect(port);
    SendAll(handle, std::string(1600, 'A'));
    std::string answer = ReadAll(handle);
    close(handle);
    std::string traces = Log();
    EXPECT_EQ(answer, "");
    EXPECT_THAT(traces, HasSubstr("Fatal error, could not read line because the readLineBuffer "
                                  "is to small"));
    // A line that just fits is read: 1510 bytes and CR LF.
    std::string fits = "GET /" + std::string(1510 - 5 - 9, 'p') + " HTTP/1.0";
    ASSERT_EQ(fits.size(), 1510u);
    EXPECT_EQ(Exchange(port, fits + "\r\n\r\n"), "HTTP/1.0 500 Error\r\n\r\n");
}

TEST_F(HTTPServerTest, ResponsesCarryTheStatusLineHeadersAndBody) {
    struct Case {
        std::function<void(QNHTTPRequest&)> handler;
        std::string response;
    };
    const Case cases[] = {
        {[](QNHTTPRequest&) {}, "HTTP/1.0 500 Error\r\n\r\n"},
        {[](QNHTTPRequest& r) {
             r.SetStatus(200);
             r.Write("x");
         },
         "HTTP/1.0 200 OK\r\n\r\nx"},
        {[](QNHTTPRequest& r) {
             r.SetStatus(404);
             r.ResponseHeaders().Add("Content-Type", "text/plain");
             r.ResponseHeaders().Add("X-Long", std::string(507 - 6, 'v').c_str());
             r.ResponseHeaders().Add("X-Fits", std::string(506 - 6, 'w').c_str());
             r.Write("gone\0!", 6);
             r.Finish();
             r.Write("after finish");
         },
         "HTTP/1.0 404 Error\r\nContent-Type: text/plain\r\nX-Fits: " + std::string(500, 'w') +
             "\r\n\r\n" + std::string("gone\0!", 6)},
        // A status set after the first write is too late for the status line.
        {[](QNHTTPRequest& r) {
             r.Write("a", -1);
             r.SetStatus(200);
             r.Write(std::string(200000, 'b').c_str());
         },
         "HTTP/1.0 500 Error\r\n\r\na" + std::string(200000, 'b')},
    };
    for (const Case& c : cases) {
        RecordingServer server;
        server.handler = c.handler;
        int port = server.Listen();
        ASSERT_GT(port, 0);
        EXPECT_EQ(Exchange(port, "GET / HTTP/1.0\r\n\r\n"), c.response);
    }
}

TEST_F(HTTPServerTest, TheEighthConnectionWaitsUntilOneOfSevenIsAnswered) {
    RecordingServer server(8);
    QSema answer(0, 100);
    server.handler = [&](QNHTTPRequest& r) {
        answer.Wait();
        r.SetStatus(200);
        r.Write(r.Path());
    };
    int port = server.Listen();
    ASSERT_GT(port, 0);
    std::vector<int> clients;
    for (int i = 0; i < 8; ++i) {
        clients.push_back(Connect(port));
        ASSERT_GE(clients.back(), 0);
        SendAll(clients.back(), "GET /" + std::to_string(i) + " HTTP/1.0\r\n\r\n");
        if (i < 7) {
            ASSERT_TRUE(server.entered.Wait(ANSWER_SECONDS * 1000)) << i;
        }
    }
    // Seven are in the handler; the eighth is not taken while they all are.
    EXPECT_FALSE(server.entered.Wait(500));
    EXPECT_EQ(server.Requests().size(), 7u);

    answer.Release();
    ASSERT_TRUE(server.entered.Wait(ANSWER_SECONDS * 1000));
    auto seen = server.Requests();
    ASSERT_EQ(seen.size(), 8u);
    EXPECT_EQ(seen[7].path, "/7");
    // Exactly one of the first seven has its answer by now.
    int answered = 0;
    for (int i = 0; i < 7; ++i) {
        timeval none{0, 200000};
        setsockopt(clients[i], SOL_SOCKET, SO_RCVTIMEO, &none, sizeof none);
        char byte;
        if (recv(clients[i], &byte, 1, MSG_PEEK) == 1) ++answered;
    }
    EXPECT_EQ(answered, 1);

    for (int i = 0; i < 7; ++i)
        answer.Release();
    for (int i = 0; i < 8; ++i) {
        std::string response = ReadAll(clients[i]);
        EXPECT_EQ(response, "HTTP/1.0 200 OK\r\n\r\n/" + std::to_string(i));
        close(clients[i]);
    }
}

void AnswerServed(QNHTTPRequest& r) {
    r.SetStatus(200);
    r.Write("served");
}

// Clients that start a request and then say nothing must not hold the workers: each
// connection has a deadline for its request, after which it is closed unanswered.
TEST_F(HTTPServerTest, StalledClientsAreClosedAtTheirDeadline) {
    RecordingServer server(8);
    server.SetRequestTimeout(300);
    server.handler = AnswerServed;
    int port = server.Listen();
    ASSERT_GT(port, 0);
    // Seven clients, one per free worker, each with a part of a request head.
    std::vector<int> stalled;
    for (const char* part :
         {"G", "GET", "GET /", "GET / HTTP/1.0", "GET / HTTP/1.0\r\n", "GET / HTTP/1.0\r\nHost: x",
          "POST / HTTP/1.0\r\ncontent-length: 9\r\n\r\nab"}) {
        stalled.push_back(Connect(port));
        SendAll(stalled.back(), part);
    }
    EXPECT_EQ(Exchange(port, "GET / HTTP/1.0\r\n\r\n"), "HTTP/1.0 200 OK\r\n\r\nserved");
    for (int handle : stalled) {
        EXPECT_EQ(ReadAll(handle), "");
        close(handle);
    }
    EXPECT_EQ(server.Requests().size(), 1u);
}

// A connection that sends nothing at all is not even handed to a worker.
TEST_F(HTTPServerTest, SilentConnectionsTakeNoWorker) {
    RecordingServer server(8);
    server.SetRequestTimeout(60000); // were they taken, the request below would wait this long
    server.handler = AnswerServed;
    int port = server.Listen();
    ASSERT_GT(port, 0);
    std::vector<int> silent;
    for (int i = 0; i < 10; ++i)
        silent.push_back(Connect(port));
    EXPECT_EQ(Exchange(port, "GET / HTTP/1.0\r\n\r\n"), "HTTP/1.0 200 OK\r\n\r\nserved");
    server.Stop();
    for (int handle : silent)
        close(handle);
}

TEST_F(HTTPServerTest, ThreadsAreNamedAndAllEndWithTheServer) {
    auto count = [](const std::vector<std::string>& names, const std::string& name) {
        return std::count(names.begin(), names.end(), name);
    };
    int port;
    {
        RecordingServer server(8);
        server.SetRequestTimeout(600 * 1000); // far beyond the test's patience
        port = server.Listen();
        ASSERT_GT(port, 0);
        EXPECT_TRUE(server.IsRunning());
        auto names = ThreadNames();
        EXPECT_EQ(count(names, "HTTPServer"), 1);
        // The system keeps 15 characters of "HTTPRequest Handler".
        EXPECT_EQ(count(names, "HTTPRequest Han"), 8);

        // A client in the middle of its request head does not hold the stop up.
        int handle = Connect(port);
        SendAll(handle, "GET / HTTP/1.0\r\n");
        ASSERT_TRUE(ServerHasRead(handle)) << "a worker is in the middle of the head";
        auto before = std::chrono::steady_clock::now();
        server.Stop();
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(60));
        EXPECT_FALSE(server.IsRunning());
        EXPECT_EQ(ReadAll(handle), "");
        close(handle);
        names = ThreadNames();
        EXPECT_EQ(count(names, "HTTPServer"), 0);
        EXPECT_EQ(count(names, "HTTPRequest Han"), 0);
    }
    // The port is free again.
    QNSocket again(QNSocket::TCP, "again");
    EXPECT_TRUE(again.Listen(port, 1, false, "127.0.0.1"));
}

// Two workers on a given port, with or without port scan, answering "up".
struct PortServer : QNHTTPServer {
    PortServer(int port, bool scan) : QNHTTPServer(port, 2, scan) { SetBindAddress("127.0.0.1"); }
    ~PortServer() override { Stop(); }
    void HandleRequest(QNHTTPRequest& r) override {
        r.SetStatus(200);
        r.Write("up");
    }
};

TEST_F(HTTPServerTest, ABusyPortFailsTheStartAndAStartedServerStartsOnce) {
    QNSocket holder(QNSocket::TCP, "holder");
    ASSERT_TRUE(holder.Listen(0, 1, false, "127.0.0.1"));
    int port = holder.BoundPort();
    {
        PortServer busy(port, false);
        EXPECT_FALSE(busy.Start(true));
        EXPECT_EQ(busy.WaitUntilListening(0), -1);
        EXPECT_THAT(Log(), HasSubstr("HTTPServer (ServerThread): failed to listen to port " +
                                     std::to_string(port)));
    }
    holder.Close();
    PortServer server(port, false);
    EXPECT_TRUE(server.Start(true));
    EXPECT_EQ(server.WaitUntilListening(ANSWER_SECONDS * 1000), port);
    EXPECT_EQ(Exchange(port, "GET / HTTP/1.0\r\n\r\n"), "HTTP/1.0 200 OK\r\n\r\nup");

    EXPECT_TRUE(server.Start(true));
    EXPECT_THAT(Log(), HasSubstr("Server allready running!"));
}

// With port scan, a busy port makes the server take the next one that is free.
TEST_F(HTTPServerTest, PortScanTakesTheNextFreePort) {
    QNSocket holder(QNSocket::TCP, "holder");
    ASSERT_TRUE(holder.Listen(0, 1, false, "127.0.0.1"));
    int busy = holder.BoundPort();
    PortServer server(busy, true);
    server.Start(true);
    int port = server.WaitUntilListening(ANSWER_SECONDS * 1000);
    std::string traces = Log();
    EXPECT_GT(port, busy);
    EXPECT_THAT(traces, HasSubstr("Started listening on: " + std::to_string(port) + " ["));
    EXPECT_EQ(Exchange(port, "GET / HTTP/1.0\r\n\r\n"), "HTTP/1.0 200 OK\r\n\r\nup");
}

TEST(QNameTable, HoldsTwentyFivePairsAndReplacesByExactName) {
    QNameTable table;
    for (int i = 0; i < QNameTable::SIZE; ++i)
        EXPECT_TRUE(table.Add(("n" + std::to_string(i)).c_str(), "v"));
    EXPECT_FALSE(table.Add("one too many", "v"));
    EXPECT_EQ(table.Get("one too many"), nullptr);
    EXPECT_TRUE(table.Add("n3", "replaced"));
    EXPECT_STREQ(table.Get("n3"), "replaced");
    EXPECT_EQ(table.Get("N3"), nullptr);
    EXPECT_EQ(table.Count(), 25);
}

} // namespace
