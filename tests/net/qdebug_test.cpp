#include "net/qdebug.h"

#include "foundation/qinfo.h"
#include "net/global.h"
#include "net/socket.h"
#include "support/file_modes.h"
#include "support/log_capture.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <gmock/gmock.h>
#include <string>
#include <thread>
#include <vector>

using ::testing::HasSubstr;

namespace {

class DiagnosticsTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        qnInit(); // its look-up of this machine's name is no concern of these tests
        RestartLog();
    }
    void TearDown() override {
        if (std::FILE* last = qlog_last_log()) {
            qlog_set_last_log(nullptr);
            std::fclose(last);
        }
        qnSetPortOffset(0);
        qnSetDropPercentage(0);
        LogTest::TearDown();
    }
    // Runs the set-up on a settings file with this text.
    void Setup(const std::string& settings) {
        WriteWholeFile("vantry.ini", settings);
        QInfo info("vantry.ini");
        qdbg_setup(info);
    }
};

TEST_F(DiagnosticsTest, UdpOutputCarriesEveryLogText) {
    QNSocket receiver(QNSocket::UDP, "receiver");
    ASSERT_TRUE(receiver.Open(0, 0, nullptr, "127.0.0.1"));
    receiver.SetNonBlocking(true);
    int port = receiver.BoundPort();
    Setup("dev\n{\n  udp_out=127.0.0.1:" + std::to_string(port) + "\n}\n");

    qwarn(QLOC("Test"), "careful");
    qtrace(QLOC("Test"), "tracing %d\n", 7);
    std::vector<std::string> received;
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    auto has = [&](const std::string& text) {
        return std::find(received.begin(), received.end(), text) != received.end();
    };
    while (!(has("WARN: careful\n") && has("tracing 7\n")) &&
           std::chrono::steady_clock::now() < until) {
        char buffer[2048];
        int got = receiver.Read(buffer, sizeof buffer);
        if (got > 0)
            received.emplace_back(buffer, got);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_THAT(received, ::testing::Contains("WARN: careful\n"));
    EXPECT_THAT(received, ::testing::Contains("tracing 7\n"));

    std::string longText(3000, 'L');
    qwarn(QLOC("Test"), "%s", longText.c_str());
    std::string datagram;
    until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    // (Skipping any datagram of the texts before, still on its way.)
    while (datagram.find("LLLL") == std::string::npos && std::chrono::steady_clock::now() < until) {
        char buffer[4096];
        int got = receiver.Read(buffer, sizeof buffer);
        if (got > 0)
            datagram.assign(buffer, got);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(datagram.size(), (size_t)QDBG_UDP_MAX);
}

TEST_F(DiagnosticsTest, UdpTargetNeedsHostAndPort) {
    Setup("dev\n{\n  udp_out=localhost\n  log_last=1\n}\n");
    EXPECT_THAT(Log(), HasSubstr("qdbg_setup: need host:port in dev_udpout (now 'localhost')"));
    EXPECT_EQ(qlog_last_log(), nullptr) << "the set-up stops at the bad value";
}

TEST_F(DiagnosticsTest, LastLogHoldsOnlyThisRunsProblems) {
    ScopedUmask usual(022);
    WriteWholeFile(QLOG_LAST_FILE, "old run\n");
    Setup("dev\n{\n  log_last=1\n}\n");
    ASSERT_NE(qlog_last_log(), nullptr);
    EXPECT_EQ(ReadWholeFile(QLOG_LAST_FILE), "");
    EXPECT_EQ(FileMode(QLOG_LAST_FILE), 0600) << "a log is its user's alone";
    qinform(QLOC("Test"), "fine");
    qerr(QLOC("Test"), "broken");
    std::string last = ReadWholeFile(QLOG_LAST_FILE);
    EXPECT_THAT(last, HasSubstr("(INFO): --- application start ---\n"));
    EXPECT_THAT(last, HasSubstr("(ERR): broken [qdebug_test:"));
    EXPECT_EQ(last.find("fine"), std::string::npos);
}

TEST_F(DiagnosticsTest, StrictAlsoOpensTheLastLog) {
    Setup("dev\n{\n  strict=1\n}\n");
    EXPECT_NE(qlog_last_log(), nullptr);
}

TEST_F(DiagnosticsTest, NumbersFlagsAndTheFirstCommand) {
    Setup("dev\n{\n  run_first=echo ran > ran.txt\n  port_offset=3\n  fake_packet_drops=25\n"
          "  opengl_checks=1\n  argument_tracing=1\n}\n");
    EXPECT_EQ(ReadWholeFile("ran.txt"), "ran\n") << "run and waited for";
    EXPECT_EQ(qnPortOffset(), 3);
    EXPECT_EQ(qnDropPercentage(), 25);
    EXPECT_TRUE(qdbg_opengl_checks());
    EXPECT_TRUE(qdbg_argument_tracing());
    EXPECT_THAT(Log(), HasSubstr("dev.opengl_checks is 1; may slow the program down - only use "
                                 "when tracking down a bug"));
    EXPECT_THAT(Log(), HasSubstr("dev.argument_tracing is 1; may slow the program down - only use "
                                 "when tracking down a bug"));
}

TEST_F(DiagnosticsTest, NoKeysNoAids) {
    Setup("global\n{\n  dateformat=1\n}\n");
    EXPECT_EQ(qlog_last_log(), nullptr);
    EXPECT_FALSE(qdbg_opengl_checks());
    EXPECT_EQ(qnPortOffset(), 0);
    EXPECT_EQ(Log(), "");
}

} // namespace
