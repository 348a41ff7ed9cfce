// A server that misbehaves (tests/sync/misbehaving_dav.py): every way ends in a clear
// message, a non-zero exit, and the document as it was, byte for byte.
#include "model/vtodo.h"
#include "sync/caldav_sync.h"
#include "sync/sync_fixture.h"
#include "test_paths.h"

#include <gmock/gmock.h>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <thread>

using ::testing::HasSubstr;

namespace {

struct BadServerCase {
    const char* mode;
    const char* message;
};

class BadServerTest : public SyncTest, public ::testing::WithParamInterface<BadServerCase> {
  protected:
    // Starts the server in the mode; its calendar's URL.
    std::string Start(const std::string& mode, const std::string& scheme = "http",
                      const std::vector<std::string>& more = {}) {
        port = FreePort();
        std::vector<std::string> argv = {"/usr/bin/python3", SYNC_TEST_DIR "/misbehaving_dav.py",
                                         std::to_string(port), mode};
        if (mode == "expired-tls" || mode == "hostile-hrefs") argv.push_back(dir.Path());
        argv.insert(argv.end(), more.begin(), more.end());
        EXPECT_TRUE(process.Start(argv, dir.File("server.log")));
        EXPECT_TRUE(WaitForPort(port));
        return scheme + "://127.0.0.1:" + std::to_string(port) + "/user/cal/";
    }
    Process process;
    int port = 0;
};

TEST_P(BadServerTest, GivesAClearMessageAndChangesNothing) {
    std::string mode = GetParam().mode;
    std::string url = Start(mode, mode == "expired-tls" ? "https" : "http");
    MakeDocument("doc.vnt", mode == "wrong-etag" ? std::vector<std::string>{}
                                                 : std::vector<std::string>{"Mine"});
    ASSERT_EQ(Vantry("--sync-account " + Quoted(url) + " --user test doc.vnt").code, 0);
    if (mode == "wrong-etag") {
        // The server's item arrives once; changed here, it must go back with If-Match.
        Result first = Vantry("--sync doc.vnt");
        ASSERT_EQ(first.code, 0) << first.output;
        Edit("doc.vnt", [](VCollection& c) {
            static_cast<VTodo*>(Find(c, "Server item"))->what = "Changed here";
        });
    }
    std::string before = ReadWholeFile("doc.vnt");
    Result r = Vantry("--sync doc.vnt");
    EXPECT_EQ(r.code, 1);
    EXPECT_THAT(r.output, HasSubstr("Sync failed: "));
    EXPECT_THAT(r.output, HasSubstr(GetParam().message));
    EXPECT_THAT(r.output, HasSubstr("The document is unchanged."));
    EXPECT_EQ(ReadWholeFile("doc.vnt"), before);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, BadServerTest,
    ::testing::Values(BadServerCase{"garbage", "the server's answer is no readable XML"},
                      BadServerCase{"huge", "the server's answer to PROPFIND is longer than 64 MB"},
                      BadServerCase{"redirect", "to another server (http://127.0.0.2:"},
                      BadServerCase{"wrong-etag", "its ETags are wrong"},
                      BadServerCase{"nested", "the server's calendar object /user/cal/x.ics "
                                              "cannot be read: line 66 begins a component "
                                              "nested more than 32 deep"},
                      BadServerCase{"unavailable", "the server failed (HTTP 503 to PROPFIND"},
                      BadServerCase{"expired-tls", "SSL certificate problem"}),
    [](const auto& info) {
        std::string name = info.param.mode;
        for (char& c : name)
            if (c == '-') c = '_';
        return name;
    });

// The hrefs the hostile server names besides its calendar's one item, as it writes them.
std::vector<std::string> OutsideHrefs(int port) {
    std::string self = "http://127.0.0.1:" + std::to_string(port);
    return {"../victim/a.ics",
            "/user/cal/../../etc/passwd",
            "http://127.0.0.2:" + std::to_string(port) + "/user/cal/b.ics",
            "https://127.0.0.1:" + std::to_string(port) + "/user/cal/c.ics",
            "http://127.0.0.1:" + std::to_string(port + 1) + "/user/cal/d.ics",
            "/user/cal/sub/e.ics",
            "/user/cal/%2e%2e",
            "/user/cal/f%2Fg.ics",
            "//127.0.0.2/user/cal/h.ics",
            self + "/user/other/i.ics",
            "../victim/x.ics"};
}

// Only the calendar's own members are taken, however the server names the others: none
// is imported, none is written to later, and each is named in a warning.
TEST_F(BadServerTest, ResourcesOutsideTheCalendarAreSkippedAndNamed) {
    std::string url = Start("hostile-hrefs");
    MakeDocument("doc.vnt", {});
    ASSERT_EQ(Vantry("--sync-account " + Quoted(url) + " --user test doc.vnt").code, 0);
    Result listed = Vantry("--sync doc.vnt"); // by the listing: no token yet
    ASSERT_EQ(listed.code, 0) << listed.output;
    ASSERT_EQ(Items("doc.vnt"), (DocumentItems{{"x", "Server item"}}));

    Edit("doc.vnt", [](VCollection& c) {
        static_cast<VTodo*>(Find(c, "Server item"))->what = "Changed here";
    });
    Result reported = Vantry("--sync doc.vnt"); // by the sync-collection report
    ASSERT_EQ(reported.code, 0) << reported.output;
    EXPECT_THAT(reported.output, HasSubstr("1 uploaded, 0 downloaded"));
    EXPECT_EQ(Items("doc.vnt"), (DocumentItems{{"x", "Changed here"}}));

    for (const std::string& href : OutsideHrefs(port))
        for (const Result* r : {&listed, &reported})
            EXPECT_THAT(r->output, HasSubstr("warning: the server named \"" + href +
                                             "\", which is not in this calendar: skipped"));
    std::set<std::string> requested;
    std::istringstream log(ReadWholeFile(dir.File("requests.log")));
    for (std::string method, path; log >> method >> path;)
        requested.insert(path);
    EXPECT_EQ(requested, (std::set<std::string>{"/user/cal/", "/user/cal/x.ics"}));
}

// However many resources outside the calendar a server names, the user reads a few
// warnings and how many more there were.
TEST_F(BadServerTest, ManyResourcesOutsideTheCalendarAreCountedNotEachNamed) {
    std::string url = Start("hostile-hrefs", "http", {"5000"});
    MakeDocument("doc.vnt", {});
    ASSERT_EQ(Vantry("--sync-account " + Quoted(url) + " --user test doc.vnt").code, 0);
    Result r = Vantry("--sync doc.vnt");
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(Items("doc.vnt"), (DocumentItems{{"x", "Server item"}}));
    int warnings = 0;
    std::istringstream lines(r.output);
    for (std::string line; std::getline(lines, line);)
        warnings += line.compare(0, 17, "vantry: warning: ") == 0;
    EXPECT_EQ(warnings, 21);
    EXPECT_THAT(r.output, HasSubstr("vantry: warning: 4991 more warnings like these were left "
                                    "out\n"));
}

// Trusting the authority that signed it, the certificate is still refused: it expired.
TEST_F(BadServerTest, AnExpiredCertificateIsRefusedEvenFromATrustedAuthority) {
    std::string url = Start("expired-tls", "https");
    SyncSnapshot snapshot;
    snapshot.state.account = {url, "test"};
    SyncOptions options;
    options.caFile = dir.File("ca.pem");
    struct stat info;
    ASSERT_EQ(stat(options.caFile.c_str(), &info), 0);
    SyncResult result = ExchangeWithServer(snapshot, options);
    EXPECT_EQ(result.status, SyncResult::Status::Failed);
    EXPECT_THAT(result.error, HasSubstr("certificate has expired"));
}

} // namespace
