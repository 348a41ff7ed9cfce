// vantry --serve as a user runs it: the program serves a document file until it is
// interrupted, then ends cleanly and gives its port back.
#include "model/vcollection.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "net/local_names.h"
#include "net/socket.h"
#include "support/generated_document.h"
#include "support/http_client.h"
#include "support/log_capture.h"
#include "support/model_builders.h"
#include "test_paths.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <gmock/gmock.h>
#include <libical/ical.h>
#include <poll.h>
#include <regex>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

#if defined(__SANITIZE_ADDRESS__)
#define SERVED_WITH_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SERVED_WITH_ASAN 1
#endif
#endif

using ::testing::HasSubstr;
using namespace http_test;

namespace {

// The program running with its standard output on a pipe (its traces go to /dev/null).
class Program {
  public:
    explicit Program(const std::vector<std::string>& arguments) {
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::vector<char*> argv{(char*)VANTRY_BINARY};
        for (const std::string& a : arguments)
            argv.push_back((char*)a.c_str());
        argv.push_back(nullptr);
        if (posix_spawn(&pid, VANTRY_BINARY, &actions, nullptr, argv.data(), environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        output = out[0];
    }
    ~Program() {
        if (pid > 0 && exitCode == NOT_ENDED) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (output >= 0) close(output);
    }

    // Reads standard output until the text matches, for at most the time a client waits.
    std::string ReadUntil(const std::regex& pattern) {
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(ANSWER_SECONDS);
        while (!std::regex_search(text, pattern) && std::chrono::steady_clock::now() < until) {
            pollfd wait{output, POLLIN, 0};
            if (poll(&wait, 1, 100) <= 0) continue;
            char buffer[512];
            ssize_t got = read(output, buffer, sizeof buffer);
            if (got <= 0) break;
            text.append(buffer, got);
        }
        return text;
    }
    // The port the program says it serves on, or -1 when it said none in that time.
    int AnnouncedPort() {
        std::smatch m;
        std::string shown = ReadUntil(std::regex("on port ([0-9]+)"));
        return std::regex_search(shown, m, std::regex("on port ([0-9]+)")) ? std::stoi(m[1].str())
                                                                           : -1;
    }
    // The exit code once the program has ended (within the time a client waits), else
    // NOT_ENDED.
    int Wait() {
        for (int i = 0; i < ANSWER_SECONDS * 100 && exitCode == NOT_ENDED; ++i) {
            int status;
            if (waitpid(pid, &status, WNOHANG) == pid)
                exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            else
                usleep(10000);
        }
        return exitCode;
    }

    static constexpr int NOT_ENDED = -1000;
    pid_t pid = -1;
    int exitCode = NOT_ENDED;

  private:
    int output = -1;
    std::string text;
};

// A figure of the process's /proc status in kB ("VmRSS", "VmHWM"), or -1.
long StatusKilobytes(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
    return -1;
}

// Whether every connection has bytes of its answer waiting.
bool AllHaveBytes(const std::vector<int>& handles) {
    for (int handle : handles) {
        pollfd wait{handle, POLLIN, 0};
        if (poll(&wait, 1, 0) != 1) return false;
    }
    return true;
}

class ServeModeTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        VCollection c;
        AddNode<VGroup>(c)->name = "Holidays";
        ASSERT_TRUE(c.Save("doc.vnt"));
    }
};

TEST_F(ServeModeTest, ServesUntilInterruptedAndFreesItsPort) {
    for (int signal : {SIGINT, SIGTERM}) {
        Program vantry({"--serve", "--port", "0", "--bind", "127.0.0.1", "doc.vnt"});
        ASSERT_GT(vantry.pid, 0);
        std::smatch m;
        std::string shown = vantry.ReadUntil(std::regex("on port ([0-9]+)"));
        std::regex announcement("Serving doc.vnt on port ([0-9]+): browse to "
                                "http://127.0.0.1:([0-9]+)/\n");
        ASSERT_TRUE(std::regex_search(shown, m, announcement)) << shown;
        int port = std::stoi(m[1].str());
        EXPECT_EQ(m[1].str(), m[2].str());

        std::string page = Exchange(port, "GET / HTTP/1.0\r\n\r\n");
        EXPECT_THAT(page, HasSubstr("Current path: All folders (click to move up)"));
        EXPECT_THAT(page, HasSubstr("Holidays"));

        kill(vantry.pid, signal);
        EXPECT_EQ(vantry.Wait(), 0) << signal;
        EXPECT_THAT(vantry.ReadUntil(std::regex("Stopped\\.\n")), HasSubstr("Stopped.\n"));
        QNSocket again(QNSocket::TCP, "again");
        EXPECT_TRUE(again.Listen(port, 1, false, "127.0.0.1")) << signal;
    }
}

// Calendar programs subscribe to /calendar.ics: every item, with UIDs that stay.
TEST_F(ServeModeTest, ServesTheDocumentAsACalendarFeed) {
    VCollection c;
    auto* folder = AddNode<VGroup>(c);
    folder->name = "Holidays";
    auto* trip = AddNode<VTask>(c, folder);
    trip->what = "Trip";
    trip->flags = 0;
    trip->startDate = "2026-12-24";
    trip->duration = 2;
    AddNode<VTodo>(c, folder)->what = "Pack";
    ASSERT_TRUE(c.Save("feed.vnt"));
    Program vantry({"--serve", "--port", "0", "--bind", "127.0.0.1", "feed.vnt"});
    int port = vantry.AnnouncedPort();
    ASSERT_GT(port, 0);

    std::string uids[2];
    for (std::string& uid : uids) {
        std::string answer = Exchange(port, "GET /calendar.ics HTTP/1.0\r\n\r\n");
        EXPECT_THAT(answer, HasSubstr("HTTP/1.0 200 OK\r\n"));
        EXPECT_THAT(answer, HasSubstr("\r\nContent-Type: text/calendar; charset=utf-8\r\n"));
        std::size_t body = answer.find("\r\n\r\n");
        ASSERT_NE(body, std::string::npos) << answer;
        icalcomponent* calendar = icalparser_parse_string(answer.c_str() + body + 4);
        ASSERT_NE(calendar, nullptr) << answer;
        EXPECT_EQ(icalcomponent_isa(calendar), ICAL_VCALENDAR_COMPONENT);
        EXPECT_EQ(icalcomponent_count_components(calendar, ICAL_VTODO_COMPONENT), 2);
        for (icalcomponent* todo =
                 icalcomponent_get_first_component(calendar, ICAL_VTODO_COMPONENT);
             todo; todo = icalcomponent_get_next_component(calendar, ICAL_VTODO_COMPONENT)) {
            uid += icalcomponent_get_uid(todo);
            if (std::string(icalcomponent_get_summary(todo)) == "Trip") {
                icaltimetype start = icalcomponent_get_dtstart(todo);
                EXPECT_TRUE(start.is_date);
                EXPECT_EQ(start.day, 24);
            }
        }
        icalcomponent_free(calendar);
    }
    EXPECT_EQ(uids[0], uids[1]) << "the same UIDs at every fetch";
    kill(vantry.pid, SIGTERM);
    EXPECT_EQ(vantry.Wait(), 0);
}

// The feed of a large document is built once and shared by every client that asks for
// it, whether it reads or not: memory stays flat, pages are still answered at once, and
// stopping never waits for those clients.
TEST_F(ServeModeTest, ClientsThatNeverReadTheFeedHoldNeitherMemoryNorPagesNorTheStop) {
    {
        VCollection big;
        GenerateDocument(big, DocumentShape{100000, 10, 6, 7});
        ASSERT_TRUE(big.Save("big.vnt"));
    }
    Program vantry({"--serve", "--port", "0", "--bind", "127.0.0.1", "big.vnt"});
    int port = vantry.AnnouncedPort();
    ASSERT_GT(port, 0);
    // Its size once it serves pages: the document's index and folder table are built.
    EXPECT_THAT(Exchange(port, "GET / HTTP/1.0\r\n\r\n"), HasSubstr("All folders"));
    long start = StatusKilobytes(vantry.pid, "VmRSS");
    ASSERT_GT(start, 0);
    // One client that reads it: how long the feed takes on this machine, build included.
    auto fetched = std::chrono::steady_clock::now();
    EXPECT_THAT(Exchange(port, "GET /calendar.ics HTTP/1.0\r\n\r\n"),
                HasSubstr("END:VCALENDAR\r\n"));
    auto oneFeed = std::chrono::steady_clock::now() - fetched;

    std::vector<int> feeds;
    for (int i = 0; i < 20; ++i) {
        feeds.push_back(ConnectNarrow(port));
        ASSERT_TRUE(SendAll(feeds.back(), "GET /calendar.ics HTTP/1.0\r\n\r\n"));
    }
    // A page meanwhile waits neither for those clients nor for builds of the feed for them
    // (a build for each would keep it waiting several times as long as one feed).
    auto asked = std::chrono::steady_clock::now();
    EXPECT_THAT(Exchange(port, "GET /view?root=0 HTTP/1.0\r\n\r\n"),
                HasSubstr("Current path: All folders (click to move up)"));
    EXPECT_LT(std::chrono::steady_clock::now() - asked, oneFeed + std::chrono::seconds(5));
    for (int i = 0; i < ANSWER_SECONDS * 100 && !AllHaveBytes(feeds); ++i)
        usleep(10000);
    EXPECT_TRUE(AllHaveBytes(feeds)) << "every client is being sent the feed";

#ifndef SERVED_WITH_ASAN // AddressSanitizer keeps what is freed: its sizes say nothing
    EXPECT_LT(StatusKilobytes(vantry.pid, "VmHWM"), 2 * start) << "started at " << start << " kB";
#endif

    auto stopping = std::chrono::steady_clock::now();
    kill(vantry.pid, SIGTERM);
    EXPECT_EQ(vantry.Wait(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::seconds(3));
    for (int handle : feeds)
        close(handle);
}

// Each item's UID by its summary, as one run of vantry --serve hands the feed out.
std::map<std::string, std::string> FeedUids(const char* file) {
    std::map<std::string, std::string> uids;
    Program vantry({"--serve", "--port", "0", "--bind", "127.0.0.1", file});
    std::smatch m;
    std::string shown = vantry.ReadUntil(std::regex("on port ([0-9]+)"));
    if (!std::regex_search(shown, m, std::regex("on port ([0-9]+)"))) return uids;
    std::string answer = Exchange(std::stoi(m[1].str()), "GET /calendar.ics HTTP/1.0\r\n\r\n");
    std::size_t body = answer.find("\r\n\r\n");
    if (icalcomponent* calendar =
            body == std::string::npos ? nullptr : icalparser_parse_string(answer.c_str() + body + 4)) {
        for (icalcomponent* todo =
                 icalcomponent_get_first_component(calendar, ICAL_VTODO_COMPONENT);
             todo; todo = icalcomponent_get_next_component(calendar, ICAL_VTODO_COMPONENT))
            uids[icalcomponent_get_summary(todo)] = icalcomponent_get_uid(todo);
        icalcomponent_free(calendar);
    }
    kill(vantry.pid, SIGTERM);
    EXPECT_EQ(vantry.Wait(), 0);
    return uids;
}

// The feed never saves the document, yet subscribers see the same items at every start:
// the UIDs of items that have none stored come out the same from the same file, and an
// item added (and the save that reverses the file's order) changes no other's.
TEST_F(ServeModeTest, TheFeedsUidsStayAcrossRestartsAndAdditions) {
    {
        VCollection c;
        auto* folder = AddNode<VGroup>(c);
        folder->name = "Holidays";
        for (const char* text : {"Pack", "Book the train", "Water the plants"})
            AddNode<VTodo>(c, folder)->what = text;
        ASSERT_TRUE(c.Save("feed.vnt"));
    }
    std::string file = ReadWholeFile("feed.vnt");
    std::map<std::string, std::string> first = FeedUids("feed.vnt");
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(FeedUids("feed.vnt"), first) << "a second start";
    EXPECT_EQ(ReadWholeFile("feed.vnt"), file) << "the document is only read";

    VCollection c;
    c.Load("feed.vnt");
    AddNode<VTodo>(c, c.FindFolder("Holidays"))->what = "Buy sun cream";
    ASSERT_TRUE(c.Save("feed.vnt"));
    std::map<std::string, std::string> after = FeedUids("feed.vnt");
    ASSERT_EQ(after.size(), 4u);
    for (const auto& [text, uid] : first)
        EXPECT_EQ(after[text], uid) << text;
}

TEST_F(ServeModeTest, WrongArgumentsEndAtOnce) {
    const std::vector<std::string> cases[] = {
        {"--serve"},
        {"--serve", "--port", "x", "doc.vnt"},
        {"--serve", "--port", "70000", "doc.vnt"},
        {"--serve", "--what", "doc.vnt"},
        {"--serve", "missing.vnt"},
    };
    for (const auto& arguments : cases) {
        Program vantry(arguments);
        EXPECT_EQ(vantry.Wait(), 1) << arguments.back();
    }
}

// Without --bind the document stays on this machine: the announced address is loopback
// and the machine's network address gets no answer.
TEST_F(ServeModeTest, ServesThisMachineOnlyUnlessToldOtherwise) {
    Program vantry({"--serve", "--port", "0", "doc.vnt"});
    ASSERT_GT(vantry.pid, 0);
    std::smatch m;
    std::string shown = vantry.ReadUntil(std::regex("browse to [^\n]*\n"));
    ASSERT_TRUE(std::regex_search(
        shown, m, std::regex("on port ([0-9]+): browse to http://127\\.0\\.0\\.1:[0-9]+/\n")))
        << shown;
    int port = std::stoi(m[1].str());
    EXPECT_THAT(Exchange(port, "GET / HTTP/1.0\r\n\r\n"), HasSubstr("Holidays"));
    std::string network = QNNetworkAddress();
    if (!network.empty()) {
        QNSocket client(QNSocket::TCP, "client");
        EXPECT_FALSE(client.Open(port, 0, network.c_str()))
            << "reachable on " << network << ", beyond this machine";
    }
    kill(vantry.pid, SIGTERM);
    EXPECT_EQ(vantry.Wait(), 0);
}

// What can't work is said at once, with exit code 1.
TEST_F(ServeModeTest, ABusyPortOrAnUnknownAddressEndsAtOnceWithTheReason) {
    QNSocket holder(QNSocket::TCP, "holder");
    ASSERT_TRUE(holder.Listen(0, 1, false, "127.0.0.1"));
    std::string busy = std::to_string(holder.BoundPort());
    struct Case {
        std::string arguments, reason;
    } cases[] = {
        {"--port " + busy + " doc.vnt",
         "vantry: can't serve doc.vnt: port " + busy + " is in use\n"},
        {"--port 0 --bind nonsense.invalid doc.vnt",
         "vantry: can't serve doc.vnt: unknown address 'nonsense.invalid'\n"},
        {"--port 0 --bind ::1 doc.vnt", "vantry: can't serve doc.vnt: unknown address '::1'\n"},
    };
    for (const Case& c : cases) {
        std::string command =
            std::string(VANTRY_BINARY) + " --serve " + c.arguments + " 2>&1 >/dev/null";
        std::FILE* pipe = popen(command.c_str(), "r");
        std::string err;
        char buffer[512];
        while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            err.append(buffer, n);
        int status = pclose(pipe);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << c.arguments;
        EXPECT_THAT(err, HasSubstr(c.reason));
        EXPECT_LE(std::count(err.begin(), err.end(), '\n'), 3) << "no retries:\n" << err;
    }
}

} // namespace
