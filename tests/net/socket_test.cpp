#include "net/socket.h"

#include "net/global.h"
#include "support/log_capture.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <gmock/gmock.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>

using ::testing::HasSubstr;

namespace {

const char* const LOOPBACK = "127.0.0.1";

class SocketTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        // Starting the network looks up this machine's own name, which not every machine
        // can resolve: that report is no concern of these tests.
        qnInit();
        RestartLog();
    }
    void TearDown() override {
        qnSetPortOffset(0);
        qnSetDropPercentage(0);
        LogTest::TearDown();
    }
};

// Reads until something arrives, for at most a minute (the machine may be busy).
int ReadSoon(QNSocket& socket, char* buffer, int n, QNAddress* sender = nullptr) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int got = 0;
    while ((got = socket.Read(buffer, n, sender)) == 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return got;
}

TEST_F(SocketTest, AddressesFromDottedText) {
    QNAddress address;
    EXPECT_TRUE(address.GetByName("127.0.0.1"));
    EXPECT_STREQ(address.Text(), "127.0.0.1");
    EXPECT_STREQ(address.Name(), "127.0.0.1");
    EXPECT_EQ(address.Address(), 0x7F000001u);
    address.Set(AF_INET, 0xC0A80114, 8100);
    EXPECT_STREQ(address.Text(), "192.168.1.20");
    EXPECT_EQ(address.Port(), 8100);
    EXPECT_TRUE(address.GetByName("localhost"));
    EXPECT_STREQ(address.Text(), "127.0.0.1");
    EXPECT_EQ(Log(), "");

    EXPECT_FALSE(address.GetByName(nullptr));
    EXPECT_FALSE(address.GetByName(""));
    EXPECT_THAT(Log(), HasSubstr("'name' is null"));
    EXPECT_THAT(Log(), HasSubstr("'name' is empty (name[0]=0)"));
}

TEST_F(SocketTest, NetworkStartsOnce) {
    QNSocket socket(QNSocket::UDP, "first");
    EXPECT_TRUE(qnStarted());
    EXPECT_FALSE(qnInit()) << "the socket started it already";
    EXPECT_EQ(qnPortOffset(), 0);
    EXPECT_EQ(qnDropPercentage(), 0);
}

TEST_F(SocketTest, TcpRoundTripOnLoopback) {
    QNSocket server(QNSocket::TCP, "server");
    ASSERT_TRUE(server.Listen(0, 4, false, LOOPBACK));
    int port = server.BoundPort();
    ASSERT_GT(port, 0);
    EXPECT_EQ(server.Accept(20000), nullptr) << "nobody is calling yet";

    QNSocket client(QNSocket::TCP, "client");
    ASSERT_TRUE(client.Open(port, 0, LOOPBACK));
    std::unique_ptr<QNSocket> connection = server.Accept(1000000);
    ASSERT_NE(connection, nullptr);
    EXPECT_STREQ(connection->Name(), "TCP_accept");
    EXPECT_STREQ(connection->PeerText(), "127.0.0.1");

    EXPECT_EQ(client.Write("GET / HTTP/1.0\r\n\r\n", 18), 18);
    char buffer[8192];
    EXPECT_EQ(ReadSoon(*connection, buffer, sizeof buffer), 18);
    EXPECT_EQ(std::string(buffer, 18), "GET / HTTP/1.0\r\n\r\n");
    std::string big(6000, 'b');
    EXPECT_EQ(connection->Write(big.data(), (int)big.size()), 6000);
    int first = ReadSoon(client, buffer, sizeof buffer);
    EXPECT_GT(first, 0);
    EXPECT_LE(first, 4096) << "one read delivers at most 4096 bytes";

    connection->Close();
    EXPECT_FALSE(connection->IsOpen());
    EXPECT_EQ(Log().find("(WARN"), std::string::npos) << Log();
}

TEST_F(SocketTest, ListenOnABusyPortFailsQuietlyWhenAsked) {
    QNSocket first(QNSocket::TCP, "first");
    ASSERT_TRUE(first.Listen(0, 4, false, LOOPBACK));
    QNSocket second(QNSocket::TCP, "second");
    EXPECT_FALSE(second.Listen(first.BoundPort(), 4, true, LOOPBACK));
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(Log(), "");
    EXPECT_FALSE(second.Listen(first.BoundPort(), 4, false, LOOPBACK));
    EXPECT_THAT(Log(), HasSubstr("QNSocket:Listen(): bind failed; Address already in use"));
}

TEST_F(SocketTest, UdpRoundTripAndIdleReads) {
    QNSocket receiver(QNSocket::UDP, "receiver");
    ASSERT_TRUE(receiver.Open(0, QNSocket::REUSE_ADDRESS, nullptr, LOOPBACK));
    ASSERT_EQ(receiver.SetNonBlocking(true), 0);
    char buffer[64];
    EXPECT_EQ(receiver.Read(buffer, sizeof buffer), 0) << "nothing there yet";

    QNSocket sender(QNSocket::UDP, "sender");
    ASSERT_TRUE(sender.Open(receiver.BoundPort(), 0, LOOPBACK));
    QNAddress to;
    to.GetByName(LOOPBACK);
    to.SetPort(receiver.BoundPort());
    EXPECT_EQ(sender.Write("ping", 4, &to), 4);
    QNAddress from;
    EXPECT_EQ(ReadSoon(receiver, buffer, sizeof buffer, &from), 4);
    EXPECT_EQ(std::string(buffer, 4), "ping");
    EXPECT_STREQ(from.Text(), "127.0.0.1");
    EXPECT_EQ(Log(), "") << "an idle read is no error";

    EXPECT_EQ(sender.Write("pong", 4), 0);
    EXPECT_THAT(Log(), HasSubstr("(ERR  ): [-] QNSocket:Write() [sender]; 'addr'=0"));
}

TEST_F(SocketTest, SimulatedDropsAnswerNothing) {
    QNSocket receiver(QNSocket::UDP, "receiver");
    ASSERT_TRUE(receiver.Open(0, 0, nullptr, LOOPBACK));
    ASSERT_EQ(receiver.SetNonBlocking(true), 0);
    QNSocket sender(QNSocket::UDP, "sender");
    ASSERT_TRUE(sender.Open(receiver.BoundPort(), 0, LOOPBACK));
    QNAddress to;
    to.GetByName(LOOPBACK);
    to.SetPort(receiver.BoundPort());
    qnSetDropPercentage(100);
    sender.Write("lost", 4, &to);
    // Once it is there, the read drops it: nothing to the caller.
    pollfd arrived{receiver.Handle(), POLLIN, 0};
    ASSERT_EQ(poll(&arrived, 1, 60000), 1) << "the datagram reached the socket";
    char buffer[16];
    EXPECT_EQ(receiver.Read(buffer, sizeof buffer), 0);
    // ... and it is gone: the next datagram is the first the caller gets.
    qnSetDropPercentage(0);
    EXPECT_EQ(sender.Write("marker", 6, &to), 6);
    int got = ReadSoon(receiver, buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer, std::max(got, 0)), "marker");
}

TEST_F(SocketTest, PortOffsetMovesEveryOpenedPort) {
    QNSocket probe(QNSocket::UDP, "probe");
    ASSERT_TRUE(probe.Open(0, 0, nullptr, LOOPBACK));
    int freePort = probe.BoundPort();
    probe.Close();
    qnSetPortOffset(1);
    QNSocket moved(QNSocket::UDP, "moved");
    ASSERT_TRUE(moved.Open(freePort - 1, 0, nullptr, LOOPBACK));
    EXPECT_EQ(moved.BoundPort(), freePort);
    EXPECT_EQ(moved.Port(), freePort);
    EXPECT_THAT(Log(), HasSubstr("(INFO ): [-] [QNSocket:Open moved] Use port offset"));
}

TEST_F(SocketTest, FailuresAreReportedInOneForm) {
    QNSocket closed(QNSocket::UDP, "closed");
    EXPECT_EQ(closed.SetNonBlocking(true), -1);
    EXPECT_THAT(Log(),
                HasSubstr("[closed] Non-blocking can only be set after creating the socket"));

    QNSocket server(QNSocket::TCP, "gone");
    ASSERT_TRUE(server.Listen(0, 1, false, LOOPBACK));
    int port = server.BoundPort();
    server.Close();
    QNSocket client(QNSocket::TCP, "client");
    EXPECT_FALSE(client.Open(port, 0, LOOPBACK));
    EXPECT_THAT(
        Log(),
        HasSubstr(
            "[QN] QSocket::Open() [client]; can't connect to '127.0.0.1' (111/<unknown error>)"));

    QNSocket twice(QNSocket::UDP, "twice");
    ASSERT_TRUE(twice.Open(0, 0, nullptr, LOOPBACK));
    EXPECT_TRUE(twice.Open(0, 0, nullptr, LOOPBACK));
    EXPECT_THAT(
        Log(),
        HasSubstr(
            "QNSocket:Open() called after the socket was already opened (doubly open) - closing"));

    QNSocket odd(7, "odd");
    EXPECT_FALSE(odd.Open(1, 0));
    EXPECT_THAT(Log(), HasSubstr("QNSocket:Open() [odd]; unknown type 7"));

    errno = EAGAIN;
    std::string before = Log();
    qnError("would block");
    EXPECT_EQ(Log(), before);
}

} // namespace

namespace {

TEST_F(SocketTest, OptionsBroadcastReuseAndNoBind) {
    QNSocket broadcast(QNSocket::UDP, "broadcast");
    ASSERT_TRUE(
        broadcast.Open(0, QNSocket::BROADCAST | QNSocket::REUSE_ADDRESS, nullptr, LOOPBACK));
    int on = 0;
    socklen_t size = sizeof on;
    ASSERT_EQ(getsockopt(broadcast.Handle(), SOL_SOCKET, SO_BROADCAST, &on, &size), 0);
    EXPECT_NE(on, 0);
    ASSERT_EQ(getsockopt(broadcast.Handle(), SOL_SOCKET, SO_REUSEADDR, &on, &size), 0);
    EXPECT_NE(on, 0);

    QNSocket unbound(QNSocket::UDP, "unbound");
    ASSERT_TRUE(unbound.Open(4321, QNSocket::NO_BIND));
    EXPECT_EQ(unbound.BoundPort(), 0) << "not bound to any port";
    EXPECT_EQ(unbound.Port(), 4321);
    EXPECT_EQ(Log(), "");
}

} // namespace
