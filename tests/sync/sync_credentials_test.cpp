// The sync's credentials: never in the account's URL, a password file for its owner's
// eyes only, a warning when Basic login goes over plain http, and the password sent up
// front once the server asked for it (Radicale behind a proxy that counts the refusals).
#include "sync/http_client.h"
#include "sync/sync_fixture.h"
#include "sync/sync_state.h"
#include "test_paths.h"

#include <gmock/gmock.h>
#include <sstream>
#include <sys/stat.h>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

class CredentialsTest : public SyncTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start(ServerKind::Radicale, dir.Path()));
        int port = FreePort();
        ASSERT_TRUE(proxy.Start({"/usr/bin/python3", SYNC_TEST_DIR "/misbehaving_dav.py",
                                 std::to_string(port), "proxy", server.CalendarUrl(), "0"},
                                dir.File("proxy.log")));
        ASSERT_TRUE(WaitForPort(port));
        accountUrl = "http://127.0.0.1:" + std::to_string(port) + UrlPath(server.CalendarUrl());
    }
    // The requests the server refused for want of a password (HTTP 401), since the start.
    int Refusals() {
        std::istringstream log(ReadWholeFile(dir.File("proxy.log")));
        int count = 0;
        for (std::string method, path, status; log >> method >> path >> status;)
            count += status == "401";
        return count;
    }
    Process proxy;
};

TEST_F(CredentialsTest, APasswordInTheAccountsURLIsRefusedNeverPrintedNorStored) {
    MakeDocument("doc.vnt", {"Mine"});
    WritePasswordFile("password", "secret");
    std::string withPassword = "http://test:hunter2@" + accountUrl.substr(7);
    std::string before = ReadWholeFile("doc.vnt");
    for (const char* passwordFile : {"", " --password-file password"}) {
        Result r = Vantry("--sync-account " + Quoted(withPassword) + " --user test" + passwordFile +
                          " doc.vnt");
        EXPECT_EQ(r.code, 1);
        EXPECT_THAT(r.output, HasSubstr("the account's URL holds a password: give the user "
                                        "with --user and the password with --password-file"));
        EXPECT_THAT(r.output, Not(HasSubstr("hunter2")));
        EXPECT_EQ(ReadWholeFile("doc.vnt"), before);
    }

    // A document that holds one from before is not synced, and does not show it.
    Edit("doc.vnt", [&](VCollection& c) { SetSyncAccount(c, {withPassword, "test"}); });
    before = ReadWholeFile("doc.vnt");
    Result r = Vantry("--sync --password-file password doc.vnt");
    EXPECT_EQ(r.code, 1);
    EXPECT_THAT(r.output, HasSubstr("Sync failed: the account's URL holds a password; set the "
                                    "account again without it"));
    EXPECT_THAT(r.output, Not(HasSubstr("hunter2")));
    EXPECT_EQ(ReadWholeFile("doc.vnt"), before);
    EXPECT_EQ(Refusals(), 0) << "nothing was sent";
}

TEST_F(CredentialsTest, APasswordFileOthersCanReadIsRefused) {
    MakeDocument("doc.vnt", {"Mine"});
    std::string before = ReadWholeFile("doc.vnt");
    WritePasswordFile("password", "secret");
    for (mode_t mode : {0644, 0640, 0604, 0620, 0660}) {
        ASSERT_EQ(chmod("password", mode), 0);
        Result r = Vantry("--sync-account " + Quoted(accountUrl) +
                          " --user test --password-file password doc.vnt");
        EXPECT_EQ(r.code, 1) << std::oct << mode;
        EXPECT_THAT(r.output, HasSubstr("the password file password is open to others; make "
                                        "it yours alone: chmod 600 password"))
            << std::oct << mode;
        EXPECT_EQ(ReadWholeFile("doc.vnt"), before);
    }
    for (mode_t mode : {0600, 0400}) {
        ASSERT_EQ(chmod("password", mode), 0);
        Result r = Vantry("--sync-account " + Quoted(accountUrl) +
                          " --user test --password-file password doc.vnt");
        EXPECT_EQ(r.code, 0) << std::oct << mode << r.output;
    }
}

TEST_F(CredentialsTest, OneRefusalASyncAndAWarningForBasicLoginOverHttp) {
    MakeDocument("doc.vnt", {"One", "Two", "Three", "Four", "Five", "Six"});
    Connect("doc.vnt");
    int before = Refusals();
    Result r = Vantry("--sync --password-file password doc.vnt");
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_THAT(r.output, HasSubstr("6 uploaded"));
    EXPECT_EQ(Refusals() - before, 1) << ReadWholeFile(dir.File("proxy.log"));
    EXPECT_THAT(r.output, HasSubstr("warning: the password went to the server unencrypted "
                                    "(Basic login over http); use an https:// address"));
}

} // namespace
