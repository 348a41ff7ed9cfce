// What the server owes the machine it runs on: a client that stops reading holds a worker
// no longer than the send deadline, stopping never waits for a client, a busy port is
// reported at once, and a guarded server answers only this machine's names and, with a
// token, only requests that carry it. Real sockets on loopback.
#include "net/global.h"
#include "net/httpserver.h"
#include "net/local_names.h"
#include "net/socket.h"
#include "support/http_client.h"
#include "support/log_capture.h"

#include <arpa/inet.h>
#include <atomic>
#include <future>
#include <gmock/gmock.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using ::testing::HasSubstr;
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

// A connection that takes almost nothing into its receive buffer, so the server's send
// has to wait for a reader.
int ConnectNarrow(int port) {
    int handle = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int small = 4096;
    setsockopt(handle, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(handle, (sockaddr*)&to, sizeof to) != 0) {
        close(handle);
        return -1;
    }
    return handle;
}

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
    EXPECT_EQ(answer, "HTTP/1.0 200 OK\r\n\r\nup") << "served once the stalled send gave up";
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
        const std::vector<std::string> refusedTargets = {"/",
                                                         "/?key=",
                                                         "/?key=" + token.substr(1),
                                                         "/?key=" + token + "0",
                                                         "/view?root=0",
                                                         "/?KEY=" + token};
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
