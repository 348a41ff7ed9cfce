// What the server owes the machine it runs on: a client that stops reading holds a worker
// no longer than the send deadline, stopping never waits for a client, a busy port is
// reported at once, and a guarded server answers only this machine's names and, with a
// token, only requests that carry it. Real sockets on loopback.
#include "net/global.h"
#include "net/httpserver.h"
#include "net/local_names.h"
#include "net/request_guard.h"
#include "net/socket.h"
#include "support/http_client.h"
#include "support/log_capture.h"

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <future>
#include <gmock/gmock.h>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;
using namespace http_test;

namespace {

const size_t BIG = 16 << 20;

// Answers "up", or BIG bytes for "/big".
class SizedServer : public QNHTTPServer {
  public:
    explicit SizedServer(int workers = 2) : QNHTTPServer(0, workers, false) {
        SetBindAddress("127.0.0.1");
    }
    ~SizedServer() override { Stop(); }
    void HandleRequest(QNHTTPRequest& r) override {
        r.SetStatus(200);
        if (std::string(r.Path()) == "/big") {
            ++bigStarted;
            std::string bytes(BIG, 'x');
            r.Write(bytes.data(), (int)bytes.size());
        } else {
            r.Write("up");
        }
    }
    std::atomic<int> bigStarted{0};
};

class ServerGuardTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        qnInit();
        RestartLog();
    }
};

// One worker serves (the accept thread keeps a unit): a client that never reads must
// not keep the next one waiting beyond the deadline.
TEST_F(ServerGuardTest, AClientThatNeverReadsLosesItsResponseAtTheDeadline) {
    SizedServer server(2);
    server.SetSendTimeout(300);
    ASSERT_TRUE(server.Start(true));
    int port = server.WaitUntilListening(ANSWER_SECONDS * 1000);
    int stalled = ConnectNarrow(port);
    ASSERT_GE(stalled, 0);
    ASSERT_TRUE(SendAll(stalled, "GET /big HTTP/1.0\r\n\r\n"));

    std::string answer = Exchange(port, "GET / HTTP/1.0\r\n\r\n");
    EXPECT_EQ(answer, "HTTP/1.0 200 OK\r\n\r\nup") << "served while the other send stalls";
    // The stalled client starts reading only once its deadline has passed: before that it
    // may still take the whole response.
    for (int i = 0;
         i < ANSWER_SECONDS * 100 && Log().find("not taken in time") == std::string::npos; ++i)
        usleep(10000);
    std::string cut = ReadAll(stalled, 60);
    close(stalled);
    EXPECT_THAT(cut, StartsWith("HTTP/1.0 200 OK\r\n\r\nxxx"));
    EXPECT_LT(cut.size(), BIG) << "the stalled response was closed unfinished";
    EXPECT_THAT(Log(), HasSubstr("not taken in time"));
}

TEST_F(ServerGuardTest, AClientThatReadsSlowlyButSteadilyGetsItAll) {
    SizedServer server(2);
    ASSERT_TRUE(server.Start(true));
    int port = server.WaitUntilListening(ANSWER_SECONDS * 1000);
    int handle = ConnectNarrow(port);
    ASSERT_TRUE(SendAll(handle, "GET /big HTTP/1.0\r\n\r\n"));
    std::string answer = ReadAll(handle, 60);
    close(handle);
    EXPECT_EQ(answer.size(), std::string("HTTP/1.0 200 OK\r\n\r\n").size() + BIG);
}

TEST_F(ServerGuardTest, StoppingNeverWaitsForAClient) {
    auto server = std::make_unique<SizedServer>(4);
    server->SetSendTimeout(600 * 1000); // far beyond the test's patience
    ASSERT_TRUE(server->Start(true));
    int port = server->WaitUntilListening(ANSWER_SECONDS * 1000);
    int stalled[3];
    for (int& handle : stalled) {
        handle = ConnectNarrow(port);
        ASSERT_TRUE(SendAll(handle, "GET /big HTTP/1.0\r\n\r\n"));
    }
    for (int i = 0; i < 6000 && server->bigStarted.load() < 3; ++i)
        usleep(10000);
    ASSERT_EQ(server->bigStarted.load(), 3);
    auto stopped = std::async(std::launch::async, [&] { server->Stop(); });
    bool inTime = stopped.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
    for (int handle : stalled)
        close(handle); // lets a stop that waited for them end after all
    stopped.wait();
    EXPECT_TRUE(inTime) << "Stop waited for clients that don't read";
}

// What a slowloris client does: one byte of a request head to every connection now and
// then, never the empty line that ends it.
class Trickle {
  public:
    Trickle(std::vector<int> connections, std::string head)
        : handles(std::move(connections)), bytes(std::move(head)) {
        sendNext(); // every connection has its first byte before the constructor returns
        thread = std::thread([this] {
            std::unique_lock<std::mutex> hold(lock);
            while (
                !changed.wait_for(hold, std::chrono::milliseconds(200), [this] { return ended; }))
                sendNext();
        });
    }
    ~Trickle() {
        {
            std::lock_guard<std::mutex> hold(lock);
            ended = true;
        }
        changed.notify_all();
        thread.join();
    }

  private:
    void sendNext() {
        if (sent + 1 >= bytes.size()) return;
        for (int handle : handles)
            send(handle, bytes.data() + sent, 1, MSG_NOSIGNAL);
        ++sent;
    }

    std::vector<int> handles;
    std::string bytes;
    size_t sent = 0;
    std::mutex lock;
    std::condition_variable changed;
    bool ended = false;
    std::thread thread;
};

// Clients that connect and say nothing, or send their head a byte at a time, keep nobody
// else waiting: the server holds them all and reads every head as its bytes come, and a
// worker only ever sees a whole one.
TEST_F(ServerGuardTest, SilentAndTricklingClientsKeepNobodyWaiting) {
    SizedServer server(8);
    server.SetGuarded(true);
    server.RequireToken();
    ASSERT_TRUE(server.Start(true));
    int port = server.WaitUntilListening(ANSWER_SECONDS * 1000);
    ASSERT_GT(port, 0);
    const std::string request =
        "GET /?key=" + server.Token() + " HTTP/1.0\r\nHost: localhost\r\n\r\n";
    std::vector<int> silent, trickling;
    for (int i = 0; i < 50; ++i) {
        silent.push_back(Connect(port));
        trickling.push_back(Connect(port));
        ASSERT_GE(silent.back(), 0);
        ASSERT_GE(trickling.back(), 0);
    }
    {
        Trickle trickle(trickling, request);
        for (int i = 0; i < 5; ++i) {
            auto asked = std::chrono::steady_clock::now();
            EXPECT_EQ(Exchange(port, request), "HTTP/1.0 200 OK\r\n\r\nup") << i;
            EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(2)) << i;
        }
    }
    int held = 0;
    for (int handle : silent)
        held += StillOpen(handle);
    for (int handle : trickling)
        held += StillOpen(handle);
    EXPECT_EQ(held, 100) << "they were held all the while, none was closed to make room";
    for (int handle : silent)
        close(handle);
    for (int handle : trickling)
        close(handle);
}

// The server holds only so many connections: beyond that, the one it has held longest
// goes, so a crowd that never finishes its requests can't keep a newcomer out.
TEST_F(ServerGuardTest, BeyondItsLimitTheServerLetsTheOldestConnectionGo) {
    SizedServer server;
    server.SetConnectionLimit(10);
    ASSERT_TRUE(server.Start(true));
    int port = server.WaitUntilListening(ANSWER_SECONDS * 1000);
    std::vector<int> waiting;
    for (int i = 0; i < 10; ++i) {
        waiting.push_back(Connect(port));
        ASSERT_TRUE(SendAll(waiting.back(), "G"));
        ASSERT_TRUE(ServerHasRead(waiting.back())) << i; // taken, in this order
    }
    EXPECT_EQ(Exchange(port, "GET / HTTP/1.0\r\n\r\n"), "HTTP/1.0 200 OK\r\n\r\nup");
    EXPECT_EQ(ReadAll(waiting[0]), "") << "the oldest made room for the newcomer";
    for (size_t i = 1; i < waiting.size(); ++i)
        EXPECT_TRUE(StillOpen(waiting[i])) << i;
    for (int handle : waiting)
        close(handle);
    EXPECT_THAT(Log(), HasSubstr("more than 10 connections"));
}

// The token is compared in full whichever byte differs first, so the time an answer takes
// tells a guesser nothing.
TEST(SameSecret, ComparesWholeTexts) {
    const std::string token = "0123456789abcdef0123456789abcdef";
    struct Case {
        std::string given;
        bool same;
    } cases[] = {
        {token, true},
        {"x" + token.substr(1), false},
        {token.substr(0, 31) + "x", false},
        {token.substr(0, 31), false},
        {token + "0", false},
        {"", false},
        {std::string(token.data(), 16) + std::string(1, '\0') + token.substr(17), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QNSameSecret(token, c.given), c.same) << c.given;
    EXPECT_TRUE(QNSameSecret("", ""));
}

// A client that goes away before it has its answer is the client's business: the reason
// goes to the log, in the system's own words, and nothing to the terminal.
TEST_F(ServerGuardTest, AClientThatLeavesEarlyIsLoggedNotPrinted) {
    SizedServer server(2);
    ASSERT_TRUE(server.Start(true));
    int port = server.WaitUntilListening(ANSWER_SECONDS * 1000);
    ::testing::internal::CaptureStderr();
    int handle = ConnectNarrow(port);
    ASSERT_GE(handle, 0);
    ASSERT_TRUE(SendAll(handle, "GET /big HTTP/1.0\r\n\r\n"));
    ASSERT_TRUE(ServerHasRead(handle));
    linger reset{1, 0}; // gone at once, with a reset, while the answer is on its way
    setsockopt(handle, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    close(handle);
    auto gone = [&] {
        return LogContains(std::strerror(ECONNRESET)) || LogContains(std::strerror(EPIPE));
    };
    for (int i = 0; i < ANSWER_SECONDS * 100 && !gone(); ++i)
        usleep(10000);
    std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(gone()) << Log();
    EXPECT_EQ(printed, "");
    EXPECT_THAT(Log(), Not(HasSubstr("<unknown error>")));
}

TEST_F(ServerGuardTest, ABusyPortOrAnUnknownAddressIsReportedAtOnce) {
    QNSocket holder(QNSocket::TCP, "holder");
    ASSERT_TRUE(holder.Listen(0, 1, false, "127.0.0.1"));
    struct Case {
        int port;
        const char* bind;
        std::string failure;
    } cases[] = {
        {holder.BoundPort(), "127.0.0.1",
         "port " + std::to_string(holder.BoundPort()) + " is in use"},
        {0, "nonsense.invalid", "unknown address 'nonsense.invalid'"},
        {0, "::1", "unknown address '::1'"},
    };
    for (const Case& c : cases) {
        struct Server : QNHTTPServer {
            explicit Server(int port) : QNHTTPServer(port, 2, false) {}
            ~Server() override { Stop(); }
            void HandleRequest(QNHTTPRequest&) override {}
        } server(c.port);
        server.SetBindAddress(c.bind);
        EXPECT_FALSE(server.Start(true)) << c.bind;
        EXPECT_EQ(server.ListenFailure(), c.failure);
        EXPECT_EQ(server.WaitUntilListening(0), -1);
    }
    EXPECT_THAT(Log(), HasSubstr("failed to listen to port " + std::to_string(holder.BoundPort()) +
                                 " (port " + std::to_string(holder.BoundPort()) + " is in use)"));
}

struct HostCase {
    std::string host; // the Host header line, empty for none
    bool answered;
};

TEST_F(ServerGuardTest, AGuardedServerAnswersOnlyThisMachinesNames) {
    SizedServer server;
    server.SetGuarded(true);
    ASSERT_TRUE(server.Start(true));
    int port = server.WaitUntilListening(ANSWER_SECONDS * 1000);
    EXPECT_EQ(server.Token(), "") << "no token on loopback";
    std::string p = ":" + std::to_string(port);
    std::vector<HostCase> cases = {
        {"", true}, // HTTP/1.0 without a Host header, on loopback
        {"Host: 127.0.0.1" + p, true},
        {"Host: localhost" + p, true},
        {"Host: LocalHost", true},
        {"Host: [::1]" + p, true},
        {"Host: attacker.example" + p, false},
        {"Host: attacker.example", false},
        {"Host: 127.0.0.1.attacker.example", false},
        {"Host: ", false},
    };
    for (const std::string& name : QNLocalNames())
        cases.push_back(
            {"Host: " + (name.find(':') != std::string::npos ? "[" + name + "]" : name) + p, true});
    for (const HostCase& c : cases) {
        std::string head = "GET / HTTP/1.0\r\n" + (c.host.empty() ? "" : c.host + "\r\n") + "\r\n";
        EXPECT_EQ(Exchange(port, head),
                  c.answered ? "HTTP/1.0 200 OK\r\n\r\nup" : "HTTP/1.0 403 Error\r\n\r\n")
            << c.host;
    }
}

// Every header line is read, and read strictly, so a Host header can't slip past the
// check: not with a blank before its colon, not after many others, not twice.
TEST_F(ServerGuardTest, TheHostCantHideAmongTheHeaders) {
    SizedServer server;
    server.SetGuarded(true);
    ASSERT_TRUE(server.Start(true));
    int port = server.WaitUntilListening(ANSWER_SECONDS * 1000);
    std::string others; // as many as a request may carry besides its Host
    for (int i = 1; i < QNameTable::SIZE; ++i)
        others += "X-Other-" + std::to_string(i) + ": v\r\n";
    const std::string answered = "HTTP/1.0 200 OK\r\n\r\nup";
    const std::string refused = "HTTP/1.0 403 Error\r\n\r\n";
    const std::string bad = "HTTP/1.0 400 Error\r\n\r\n";
    const std::string tooMany = "HTTP/1.0 431 Error\r\n\r\n";
    struct Case {
        std::string headers, answer;
    } cases[] = {
        {"Host: localhost\r\n", answered},
        {"Host:localhost\r\n", answered},
        {"Host:  localhost \r\n", answered},
        {"Host : attacker.example\r\n", bad},
        {"Host\t: attacker.example\r\n", bad},
        {" Host: attacker.example\r\n", bad},
        {"Ho st: localhost\r\n", bad},
        {": localhost\r\n", bad},
        {"Host:xlocalhost\r\n", refused},
        {"Host: localhost\r\nHost: attacker.example\r\n", refused},
        {others + "Host: localhost\r\n", answered},
        {others + "X-One-Too-Many: v\r\nHost: attacker.example\r\n", tooMany},
        {others + "X-One-Too-Many: v\r\nHost: localhost\r\n", tooMany},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Exchange(port, "GET / HTTP/1.0\r\n" + c.headers + "\r\n"), c.answer) << c.headers;
}

TEST_F(ServerGuardTest, AnUnguardedServerAnswersAnyHost) {
    SizedServer server;
    ASSERT_TRUE(server.Start(true));
    int port = server.WaitUntilListening(ANSWER_SECONDS * 1000);
    EXPECT_EQ(Exchange(port, "GET / HTTP/1.0\r\nHost: attacker.example\r\n\r\n"),
              "HTTP/1.0 200 OK\r\n\r\nup");
}

TEST_F(ServerGuardTest, WithATokenOnlyRequestsThatCarryItAreAnswered) {
    std::string previous;
    for (int start = 0; start < 2; ++start) {
        SizedServer server;
        server.SetGuarded(true);
        server.RequireToken();
        ASSERT_TRUE(server.Start(true));
        int port = server.WaitUntilListening(ANSWER_SECONDS * 1000);
        const std::string token = server.Token();
        EXPECT_EQ(token.size(), 32u);
        EXPECT_NE(token, previous) << "a new token at every start";
        previous = token;
        const std::string refused = "HTTP/1.0 403 Error\r\n\r\n";
        const std::vector<std::string> refusedTargets = {
            "/", "/?key=", "/?key=" + token.substr(1), "/?key=" + token + "0", "/view?root=0",
            "/?KEY=" + token,
            // the key twice, whichever comes first
            "/?key=bad&key=" + token, "/?key=" + token + "&key=bad",
            "/?key=" + token + "&key=" + token, "/?k%65y=bad&key=" + token};
        for (const std::string& target : refusedTargets)
            EXPECT_EQ(Exchange(port, "GET " + target + " HTTP/1.0\r\n\r\n"), refused) << target;
        for (const std::string& target :
             std::vector<std::string>{"/?key=" + token, "/view?root=0&key=" + token})
            EXPECT_EQ(Exchange(port, "GET " + target + " HTTP/1.0\r\n\r\n"),
                      "HTTP/1.0 200 OK\r\n\r\nup")
                << target;
        EXPECT_EQ(
            Exchange(port, "GET /?key=" + token + " HTTP/1.0\r\nHost: attacker.example\r\n\r\n"),
            refused)
            << "the token does not excuse a foreign Host";
    }
}

TEST(LocalNames, HostOfAHeaderAndLoopback) {
    EXPECT_EQ(QNHostOfHeader("Example.ORG:8100"), "example.org");
    EXPECT_EQ(QNHostOfHeader("[::1]:8100"), "::1");
    EXPECT_EQ(QNHostOfHeader("host.lan."), "host.lan");
    EXPECT_TRUE(QNIsLoopback("127.0.0.1"));
    EXPECT_TRUE(QNIsLoopback("127.1.2.3"));
    EXPECT_TRUE(QNIsLoopback("localhost"));
    EXPECT_FALSE(QNIsLoopback("0.0.0.0"));
    EXPECT_FALSE(QNIsLoopback(""));
    EXPECT_FALSE(QNIsLoopback("192.168.1.5"));
    std::vector<std::string> names = QNLocalNames();
    EXPECT_THAT(names, ::testing::Contains("localhost"));
    EXPECT_THAT(names, ::testing::Contains("127.0.0.1"));
    std::string network = QNNetworkAddress();
    if (!network.empty()) {
        EXPECT_FALSE(QNIsLoopback(network));
        EXPECT_THAT(names, ::testing::Contains(network));
    }
}

} // namespace
