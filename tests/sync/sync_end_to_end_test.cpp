// The sync end to end, as users run it (vantry --sync), against real CalDAV servers the
// tests start on loopback, with python3-caldav as the other device.
#include "model/vcommitem.h"
#include "model/vgroup.h"
#include "model/vschedule.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/model_builders.h"
#include "sync/http_client.h"
#include "sync/sync_fixture.h"
#include "sync/sync_state.h"
#include "test_paths.h"

#include <gmock/gmock.h>

using ::testing::HasSubstr;

namespace {

// A repeating item with a reminder, as another calendar program writes it.
const char* REPEATING =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//peer//EN\r\nBEGIN:VTODO\r\n"
    "UID:weekly-review\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:Weekly review\r\n"
    "DTSTART;VALUE=DATE:20260105\r\nDUE;VALUE=DATE:20260106\r\nRRULE:FREQ=WEEKLY;BYDAY=MO\r\n"
    "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Weekly review\r\nTRIGGER:-PT30M\r\n"
    "END:VALARM\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";

std::vector<std::string> Numbered(const std::string& prefix, int count) {
    std::vector<std::string> texts;
    for (int i = 1; i <= count; ++i)
        texts.push_back(prefix + " " + std::to_string(i));
    return texts;
}

// The UID of the item with this text (empty when none has it).
template <class Items> std::string UidOf(const Items& items, const std::string& text) {
    for (const auto& [uid, rest] : items)
        if (rest == text || rest.compare(0, text.size() + 1, text + "\t") == 0) return uid;
    return {};
}

// The item's repeat rule and reminder, as the document holds them.
std::string Schedule(const std::string& file, const std::string& uid) {
    VCollection c;
    c.Load(file.c_str());
    for (VNode* node = c.root->next; node; node = node->next)
        if (c.extensions.Field(node, VExtensions::UID) == uid) {
            VSchedule s = ScheduleOf(c, node);
            return s.rule + ", " + (s.reminderMinutes ? std::to_string(*s.reminderMinutes) : "no") +
                   " minutes before";
        }
    return "no item " + uid;
}

struct RoundTripServer {
    const char* name;
    ServerKind kind;
    bool syncTokens; // false: the document sees the server through a proxy that hides them
};

class SyncRoundTrip : public SyncTest, public ::testing::WithParamInterface<RoundTripServer> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start(GetParam().kind, dir.Path()));
        if (GetParam().syncTokens) return;
        int port = FreePort();
        ASSERT_TRUE(proxy.Start({"/usr/bin/python3", SYNC_TEST_DIR "/misbehaving_dav.py",
                                 std::to_string(port), "proxy", server.CalendarUrl(), "0",
                                 "without-sync-tokens"},
                                dir.File("proxy.log")));
        ASSERT_TRUE(WaitForPort(port));
        accountUrl = "http://127.0.0.1:" + std::to_string(port) + UrlPath(server.CalendarUrl());
    }
    Process proxy;
};

TEST_P(SyncRoundTrip, EveryChangeOnEitherSideArrivesOnTheOther) {
    MakeDocument("doc.vnt", Numbered("Item", 20));
    WriteWholeFile("repeating.ics", REPEATING);
    ASSERT_EQ(Vantry("--import-ics repeating.ics doc.vnt").code, 0);
    Connect("doc.vnt");

    // The first sync uploads everything; the other device reads the same items.
    Result r = Vantry("--sync --password-file password doc.vnt");
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_THAT(r.output, HasSubstr("21 uploaded, 0 downloaded"));
    DocumentItems here = Items("doc.vnt");
    auto there = DeviceItems();
    ASSERT_EQ(there.size(), 21u);
    for (const auto& [uid, text] : here) {
        ASSERT_TRUE(there.count(uid)) << text;
        EXPECT_EQ(there[uid].substr(0, there[uid].find('\t')), text);
    }
    EXPECT_EQ(there["weekly-review"], "Weekly review\tFREQ=WEEKLY;BYDAY=MO\t-PT30M");

    // Changes on the device: one edited, one new repeating item with a reminder, one gone.
    Device("edit " + UidOf(here, "Item 1") + " 'Item 1 from the phone'");
    Device("put phone-daily 'Daily from the phone' 'FREQ=DAILY;COUNT=5'");
    Device("delete " + UidOf(here, "Item 2"));
    // Changes here: one edited, one deleted.
    Edit("doc.vnt", [](VCollection& c) {
        static_cast<VTodo*>(Find(c, "Item 3"))->what = "Item 3 from here";
        c.Remove(Find(c, "Item 4"));
    });
    r = Vantry("--sync --password-file password doc.vnt");
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_THAT(r.output, HasSubstr("1 uploaded, 2 downloaded, 1 deleted on the server, 1 "
                                    "deleted here"));
    here = Items("doc.vnt");
    there = DeviceItems();
    EXPECT_EQ(here[UidOf(there, "Item 1 from the phone")], "Item 1 from the phone");
    EXPECT_EQ(UidOf(here, "Item 2"), "");
    EXPECT_NE(UidOf(here, "Daily from the phone"), "");
    EXPECT_NE(UidOf(there, "Item 3 from here"), "");
    EXPECT_EQ(UidOf(there, "Item 4"), "");
    EXPECT_EQ(here.size(), there.size());
    EXPECT_EQ(Schedule("doc.vnt", "phone-daily"), "FREQ=DAILY;COUNT=5, 15 minutes before");

    // What came from the device goes back with its repeat rule and reminder; a repeat rule
    // and a reminder changed here arrive there.
    Edit("doc.vnt", [](VCollection& c) {
        VNode* daily = Find(c, "Daily from the phone");
        static_cast<VTask*>(daily)->what = "Daily, edited here";
        VNode* weekly = Find(c, "Weekly review");
        VSchedule schedule = ScheduleOf(c, weekly);
        schedule.rule = "FREQ=WEEKLY;BYDAY=TU";
        schedule.reminderMinutes = 60;
        SetSchedule(c, weekly, schedule);
    });
    ASSERT_EQ(Vantry("--sync --password-file password doc.vnt").code, 0);
    there = DeviceItems();
    EXPECT_EQ(there["phone-daily"], "Daily, edited here\tFREQ=DAILY;COUNT=5\t-PT15M");
    EXPECT_EQ(there["weekly-review"], "Weekly review\tFREQ=WEEKLY;BYDAY=TU\t-PT1H");

    // Nothing changed anywhere: nothing moves.
    r = Vantry("--sync --password-file password doc.vnt");
    EXPECT_THAT(r.output, HasSubstr("0 uploaded, 0 downloaded, 0 deleted on the server, 0 "
                                    "deleted here"));
    // The way it went: by the server's sync token, or by its ETags alone.
    VCollection c;
    c.Load("doc.vnt");
    EXPECT_EQ(ReadSyncState(c).token.empty(), !GetParam().syncTokens);
}

INSTANTIATE_TEST_SUITE_P(Servers, SyncRoundTrip,
                         ::testing::Values(RoundTripServer{"Radicale", ServerKind::Radicale, true},
                                           RoundTripServer{"Xandikos", ServerKind::Xandikos, true},
                                           RoundTripServer{"RadicaleByETagsAlone",
                                                           ServerKind::Radicale, false}),
                         [](const auto& info) { return std::string(info.param.name); });

class RadicaleSync : public SyncTest {
  protected:
    void SetUp() override { ASSERT_TRUE(server.Start(ServerKind::Radicale, dir.Path())); }
    // A document of twenty items, synced once.
    void Synced(const std::string& file) {
        MakeDocument(file, Numbered("Item", 20));
        Connect(file);
        Result r = Vantry("--sync --password-file password " + file);
        ASSERT_EQ(r.code, 0) << r.output;
    }
};

TEST_F(RadicaleSync, AConflictKeepsBothVersions) {
    Synced("doc.vnt");
    Device("edit " + UidOf(Items("doc.vnt"), "Item 5") + " 'Item 5, the phone'");
    Edit("doc.vnt", [](VCollection& c) {
        static_cast<VTodo*>(Find(c, "Item 5"))->what = "Item 5, this computer";
    });
    Result r = Vantry("--sync --password-file password doc.vnt");
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_THAT(r.output, HasSubstr("kept twice: \"Item 5, this computer\""));
    DocumentItems here = Items("doc.vnt");
    std::string uid = UidOf(DeviceItems(), "Item 5, the phone");
    EXPECT_EQ(here[uid], "Item 5, the phone");
    std::string copy = UidOf(here, "Item 5, this computer (conflict, this computer)");
    ASSERT_NE(copy, "");
    EXPECT_NE(copy, uid);

    // The copy goes up on the next sync: both versions are on both sides.
    ASSERT_EQ(Vantry("--sync --password-file password doc.vnt").code, 0);
    auto there = DeviceItems();
    EXPECT_THAT(there[copy], HasSubstr("Item 5, this computer (conflict, this computer)"));
    EXPECT_THAT(there[uid], HasSubstr("Item 5, the phone"));
}

TEST_F(RadicaleSync, AWrongPasswordOrCalendarIsReportedAndTheDocumentStaysAsItWas) {
    Synced("doc.vnt");
    Edit("doc.vnt", [](VCollection& c) { static_cast<VTodo*>(Find(c, "Item 1"))->what = "new"; });
    std::string before = ReadWholeFile("doc.vnt");
    WritePasswordFile("wrong", "not the password");
    Result r = Vantry("--sync --password-file wrong doc.vnt");
    EXPECT_EQ(r.code, 1);
    EXPECT_THAT(r.output, HasSubstr("refused the user name \"test\" or its password (HTTP 401"));
    EXPECT_EQ(ReadWholeFile("doc.vnt"), before);
    r = Vantry("--sync-account " + Quoted(server.CalendarUrl()) +
               " --user test --password-file wrong doc.vnt");
    EXPECT_EQ(r.code, 1);
    EXPECT_THAT(r.output, HasSubstr("HTTP 401"));
    EXPECT_EQ(ReadWholeFile("doc.vnt"), before);
    std::string elsewhere = server.CalendarUrl() + "../elsewhere/";
    r = Vantry("--sync-account " + Quoted(elsewhere) +
               " --user test --password-file password doc.vnt");
    EXPECT_EQ(r.code, 1);
    EXPECT_THAT(r.output, HasSubstr("there is no calendar at " + elsewhere + " (HTTP 404)"));
    EXPECT_EQ(ReadWholeFile("doc.vnt"), before);
}

TEST_F(RadicaleSync, ACalendarEmptiedOnTheServerIsNotEmptiedHereWithoutLeave) {
    Synced("doc.vnt");
    Device("empty");
    std::string before = ReadWholeFile("doc.vnt");
    Result r = Vantry("--sync --password-file password doc.vnt");
    EXPECT_EQ(r.code, 1);
    EXPECT_THAT(r.output, HasSubstr("would delete 20 items"));
    EXPECT_THAT(r.output, HasSubstr("--allow-deletes"));
    EXPECT_EQ(ReadWholeFile("doc.vnt"), before);
    EXPECT_EQ(DeviceItems().size(), 0u); // and nothing went up again either

    r = Vantry("--sync --allow-deletes --password-file password doc.vnt");
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_THAT(r.output, HasSubstr("20 deleted here"));
    EXPECT_EQ(Items("doc.vnt").size(), 0u);
}

TEST_F(RadicaleSync, TheServerStoppingInTheMiddleChangesNothingAndTheNextSyncCompletes) {
    MakeDocument("doc.vnt", Numbered("Item", 20));
    Connect("doc.vnt");
    // The document talks to the server through a proxy that stops for good at its eighth
    // request: after the listing and a few uploads.
    int port = FreePort();
    Process proxy;
    auto startProxy = [&](const char* stopAt) {
        ASSERT_TRUE(proxy.Start({"/usr/bin/python3", SYNC_TEST_DIR "/misbehaving_dav.py",
                                 std::to_string(port), "proxy", server.CalendarUrl(), stopAt},
                                dir.File("proxy.log")));
        ASSERT_TRUE(WaitForPort(port));
    };
    std::string proxied = "http://127.0.0.1:" + std::to_string(port) + "/test/calendar/";
    ASSERT_EQ(Vantry("--sync-account " + Quoted(proxied) + " --user test doc.vnt").code, 0);
    std::string before = ReadWholeFile("doc.vnt");
    startProxy("8");
    Result r = Vantry("--sync --password-file password doc.vnt");
    EXPECT_EQ(r.code, 1);
    EXPECT_THAT(r.output, HasSubstr("Sync failed: can't reach"));
    EXPECT_THAT(r.output, HasSubstr("The document is unchanged."));
    EXPECT_EQ(ReadWholeFile("doc.vnt"), before);
    std::size_t uploaded = DeviceItems().size();
    EXPECT_GT(uploaded, 0u);
    EXPECT_LT(uploaded, 20u);

    proxy.Stop();
    startProxy("0");
    r = Vantry("--sync --password-file password doc.vnt");
    ASSERT_EQ(r.code, 0) << r.output;
    DocumentItems here = Items("doc.vnt");
    auto there = DeviceItems();
    EXPECT_EQ(here.size(), 20u) << ::testing::PrintToString(here) << r.output;
    EXPECT_EQ(there.size(), 20u);
    for (const auto& [uid, text] : here)
        EXPECT_EQ(there[uid], text + "\t\t") << "no duplicates, no conflict copies";
}

// A title the phone edits on a to-call, to-mail or to-pay item arrives here, in the item's
// own fields, and a later change here sends the new title up, not the old one.
TEST_F(RadicaleSync, APhonesTitleEditOfACallMailOrPaymentArrivesAndStays) {
    struct Case {
        const char* before;
        const char* phone;
        const char* here; // the list text it becomes here
    };
    const Case cases[] = {
        {"Call Ann (dentist) @ 555-0100", "Call Ann (dentist, Friday) @ 555-0100",
         "Call Ann (dentist, Friday) @ 555-0100"},
        {"Bob (invoice) @ bob@example.org", "Bob (invoice 42) @ bob@example.org",
         "Bob (invoice 42) @ bob@example.org"},
        {"Carol ($900 acct 12-34) - rent", "Carol ($950 acct 12-34) - rent and garage",
         "Carol ($950 acct 12-34) - rent and garage"},
        {"Erin ($20) - lunch", "Erin ($25) - lunch", "Erin ($25) - lunch"},
        // Not in the kind's shape: the reason takes it.
        {"Call Dan (visit)", "Ring Dan back", "Call Dan (Ring Dan back)"},
    };
    {
        VCollection c;
        auto* work = AddNode<VGroup>(c);
        work->name = "Work";
        auto fill = [](VCommItem* item, const char* who, const char* reason, const char* detail) {
            item->who = who;
            item->reason = reason;
            item->detail = detail;
        };
        fill(AddNode<VCall>(c, work), "Ann", "dentist", "555-0100");
        fill(AddNode<VMail>(c, work), "Bob", "invoice", "bob@example.org");
        auto* pay = AddNode<VPay>(c, work);
        fill(pay, "Carol", "rent", "$900");
        pay->account = "12-34";
        fill(AddNode<VPay>(c, work), "Erin", "lunch", "$20");
        fill(AddNode<VCall>(c, work), "Dan", "visit", "");
        ASSERT_TRUE(c.Save("doc.vnt"));
    }
    Connect("doc.vnt");
    ASSERT_EQ(Vantry("--sync --password-file password doc.vnt").code, 0);
    auto there = DeviceItems();
    for (const Case& c : cases) {
        std::string uid = UidOf(there, c.before);
        ASSERT_NE(uid, "") << c.before;
        Device("edit " + uid + " " + Quoted(c.phone));
    }
    Result r = Vantry("--sync --password-file password doc.vnt");
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_THAT(r.output, HasSubstr("0 uploaded, 5 downloaded"));
    DocumentItems here = Items("doc.vnt");
    for (const Case& c : cases)
        EXPECT_EQ(here[UidOf(there, c.before)], c.here) << c.before;

    // Changed here again (their priority): what goes up carries the new titles.
    Edit("doc.vnt", [](VCollection& c) {
        for (VNode* node = c.root->next; node; node = node->next)
            if (auto* item = dynamic_cast<VCommItem*>(node)) item->priority = 3;
    });
    r = Vantry("--sync --password-file password doc.vnt");
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_THAT(r.output, HasSubstr("5 uploaded, 0 downloaded"));
    auto after = DeviceItems();
    for (const Case& c : cases)
        EXPECT_EQ(UidOf(after, c.here), UidOf(there, c.before)) << c.here;
}

struct MultigetGap {
    const char* name;
    std::vector<std::string> proxyOptions; // how the proxy spoils the multiget's answer
};

void PrintTo(const MultigetGap& gap, std::ostream* os) {
    *os << gap.name;
}

class MultigetGapSync : public SyncTest, public ::testing::WithParamInterface<MultigetGap> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start(ServerKind::Radicale, dir.Path()));
        port = FreePort();
        accountUrl = "http://127.0.0.1:" + std::to_string(port) + UrlPath(server.CalendarUrl());
    }
    // The proxy in front of the server, honest or spoiling as the case says.
    void StartProxy(bool spoiling) {
        proxy.Stop();
        std::vector<std::string> argv = {"/usr/bin/python3",   SYNC_TEST_DIR "/misbehaving_dav.py",
                                         std::to_string(port), "proxy",
                                         server.CalendarUrl(), "0"};
        if (spoiling)
            argv.insert(argv.end(), GetParam().proxyOptions.begin(), GetParam().proxyOptions.end());
        else if (GetParam().proxyOptions.front() == "without-sync-tokens")
            argv.push_back("without-sync-tokens");
        ASSERT_TRUE(proxy.Start(argv, dir.File("proxy.log")));
        ASSERT_TRUE(WaitForPort(port));
    }
    Process proxy;
    int port = 0;
};

// An item the listing or the sync report named and the multiget left out, or answered 404
// for, is not taken as deleted; and the sync asks for it again next time.
TEST_P(MultigetGapSync, AnItemTheServerDidNotSendStaysAndComesNextTime) {
    StartProxy(false);
    MakeDocument("doc.vnt", Numbered("Item", 20));
    Connect("doc.vnt");
    ASSERT_EQ(Vantry("--sync --password-file password doc.vnt").code, 0);
    std::string uid = UidOf(Items("doc.vnt"), "Item 1");
    Device("edit " + uid + " 'Item 1 from the phone'");

    StartProxy(true);
    Result r = Vantry("--sync --password-file password doc.vnt");
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_THAT(r.output,
                HasSubstr("warning: the server did not send " + UrlPath(server.CalendarUrl()) +
                          uid + ".ics; it is asked for again on the next sync"));
    EXPECT_THAT(r.output, HasSubstr("0 downloaded, 0 deleted on the server, 0 deleted here"));
    EXPECT_EQ(Items("doc.vnt")[uid], "Item 1");

    StartProxy(false);
    r = Vantry("--sync --password-file password doc.vnt");
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_THAT(r.output, HasSubstr("0 uploaded, 1 downloaded"));
    EXPECT_EQ(Items("doc.vnt")[uid], "Item 1 from the phone");
    EXPECT_EQ(Items("doc.vnt").size(), 20u);
}

INSTANTIATE_TEST_SUITE_P(Gaps, MultigetGapSync,
                         ::testing::Values(MultigetGap{"Dropped", {"drop-from-multiget"}},
                                           MultigetGap{"NotFound", {"multiget-404"}},
                                           MultigetGap{
                                               "DroppedByETagsAlone",
                                               {"without-sync-tokens", "drop-from-multiget"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RadicaleSync, TwoDocumentsOnOneAccountConvergeAfterTwoSyncsEach) {
    MakeDocument("laptop.vnt", Numbered("Laptop", 3));
    MakeDocument("desktop.vnt", Numbered("Desktop", 3));
    Connect("laptop.vnt");
    Connect("desktop.vnt");
    for (int round = 0; round < 2; ++round)
        for (const char* file : {"laptop.vnt", "desktop.vnt"}) {
            Result r = Vantry(std::string("--sync --password-file password ") + file);
            ASSERT_EQ(r.code, 0) << file << ": " << r.output;
        }
    DocumentItems laptop = Items("laptop.vnt");
    EXPECT_EQ(laptop.size(), 6u);
    EXPECT_EQ(laptop, Items("desktop.vnt"));
    EXPECT_EQ(DeviceItems().size(), 6u);
}

} // namespace
