// The sync state in the document, the snapshot, and applying an exchange's result,
// without a server.
#include "interop/ical_export.h"
#include "model/vgroup.h"
#include "model/vtodo.h"
#include "support/model_builders.h"
#include "support/temp_dir.h"
#include "sync/caldav_sync.h"

#include <gmock/gmock.h>

using ::testing::HasSubstr;

namespace {

TEST(SyncStateTest, TheStateGoesWithTheDocumentAndOnlyWhenThereIsOne) {
    VCollection c;
    auto* todo = AddNode<VTodo>(c);
    todo->what = "Call";
    std::string plain = DocumentBytes(c);
    EXPECT_EQ(plain.find("VEXT"), std::string::npos);

    SyncState state;
    state.account = {"https://example.org/dav/cal/", "anna"};
    state.token = "http://radicale.org/ns/sync/1";
    state.items["odd\tuid%\n"] = {"/dav/cal/odd.ics", "\"e%1\"", "0123456789abcdef"};
    state.items["plain"] = {"/dav/cal/plain.ics", "W/\"2\"", "fedcba9876543210"};
    WriteSyncState(c, state);
    VCollection loaded;
    LoadBytes(loaded, DocumentBytes(c));
    SyncState back = ReadSyncState(loaded);
    EXPECT_EQ(back.account.url, state.account.url);
    EXPECT_EQ(back.account.user, "anna");
    EXPECT_EQ(back.token, state.token);
    ASSERT_EQ(back.items.size(), 2u);
    EXPECT_EQ(back.items["odd\tuid%\n"].etag, "\"e%1\"");
    EXPECT_EQ(back.items["plain"].fingerprint, "fedcba9876543210");
    EXPECT_EQ(DocumentBytes(loaded), DocumentBytes(c));

    // The same calendar keeps what it knows; another starts afresh.
    SetSyncAccount(c, {state.account.url, "bert"});
    EXPECT_EQ(ReadSyncState(c).items.size(), 2u);
    SetSyncAccount(c, {"https://example.org/dav/other/", "bert"});
    EXPECT_TRUE(ReadSyncState(c).items.empty());
    EXPECT_EQ(ReadSyncState(c).token, "");
}

// The item list comes from a document file, which may come from anyone: a percent sign
// without two hex digits after it stays as it is.
TEST(SyncStateTest, ADamagedItemListIsReadAsFarAsItMakesSense) {
    struct Case {
        const char* written;
        const char* read;
    } cases[] = {{"%41%2f", "A/"}, {"%zz", "%zz"}, {"%4", "%4"},   {"%-1", "%-1"},
                 {"% 1", "% 1"},   {"a%", "a%"},   {"%%41", "%A"}, {"%0x1", "%0x1"}};
    for (const Case& c : cases) {
        VCollection doc;
        doc.extensions.SetField(doc.root, SyncFields::ITEMS,
                                std::string("uid") + c.written + "\t/h" + c.written +
                                    "\t\"e\"\tf\n");
        SyncState state = ReadSyncState(doc);
        ASSERT_EQ(state.items.size(), 1u) << c.written;
        EXPECT_EQ(state.items.begin()->first, std::string("uid") + c.read);
        EXPECT_EQ(state.items.begin()->second.href, std::string("/h") + c.read);
    }
}

TEST(SyncStateTest, DeletesPastTenOrATenthOfTheDocumentNeedLeave) {
    struct Case {
        int deletes, items;
        bool exceeded;
    } cases[] = {{0, 0, false},    {1, 10, false},    {2, 10, true},     {10, 100, false},
                 {11, 1000, true}, {10, 1000, false}, {101, 1000, true}, {1, 9, true}};
    for (const Case& c : cases)
        EXPECT_EQ(SyncDeleteLimitExceeded(c.deletes, c.items), c.exceeded)
            << c.deletes << " of " << c.items;
}

class SyncApplyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = AddNode<VGroup>(c);
        folder->name = "Work";
        for (const char* text : {"Shared", "Other"})
            AddNode<VTodo>(c, folder)->what = text;
        done = AddNode<VTodo>(c, folder);
        done->what = "Done";
        done->flags |= DONE;
        SetSyncAccount(c, {"http://127.0.0.1:1/cal/", "test"});
    }
    // A sync that changed nothing on either side, applied: every item known, as it is.
    void SyncedOnce() {
        SyncSnapshot s = TakeSyncSnapshot(c);
        SyncResult r;
        r.status = SyncResult::Status::Done;
        for (const SyncSnapshotItem& item : s.items)
            r.uploaded.push_back(
                {item.uid, {"/cal/" + item.uid + ".ics", "\"1\"", item.fingerprint}});
        ApplySyncResult(c, s, r);
    }
    VTodo* Node(const std::string& text) {
        for (VNode* n = c.root->next; n; n = n->next)
            if (auto* t = dynamic_cast<VTodo*>(n); t && text == t->what.Text()) return t;
        return nullptr;
    }
    std::string Uid(const VNode* node) { return c.extensions.Field(node, VExtensions::UID); }
    // The server's version of an item: its export with another summary (no characters
    // that iCalendar escapes).
    std::string ServerVersion(VNode* node, const std::string& summary) {
        std::string ics = ExportICalendar(c, {node}, "").text;
        std::string from = "SUMMARY:" + std::string(static_cast<VTodo*>(node)->what.Text());
        return ics.replace(ics.find(from), from.size(), "SUMMARY:" + summary);
    }

    VCollection c;
    VGroup* folder = nullptr;
    VTodo* done = nullptr;
};

TEST_F(SyncApplyTest, TheSnapshotChangesNothingAndApplyingKeepsItsIdentities) {
    std::string before = DocumentBytes(c);
    SyncSnapshot first = TakeSyncSnapshot(c);
    EXPECT_EQ(DocumentBytes(c), before);
    ASSERT_EQ(first.items.size(), 3u);
    for (const SyncSnapshotItem& item : first.items) {
        EXPECT_TRUE(item.newUid);
        EXPECT_THAT(item.ics, HasSubstr("UID:" + item.uid));
    }
    SyncResult nothing;
    nothing.status = SyncResult::Status::Done;
    nothing.token = "t1";
    EXPECT_TRUE(ApplySyncResult(c, first, nothing).changed);
    EXPECT_EQ(ReadSyncState(c).token, "t1");
    // The same items, the same identities, the same fingerprints: nothing counts as changed.
    SyncSnapshot second = TakeSyncSnapshot(c);
    ASSERT_EQ(second.items.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_FALSE(second.items[i].newUid);
        EXPECT_EQ(second.items[i].uid, first.items[i].uid);
        EXPECT_EQ(second.items[i].fingerprint, first.items[i].fingerprint);
    }
    // The done item's COMPLETED comes from the item itself, the same in both snapshots
    // (the fingerprints above), and the export stores nothing for it.
    EXPECT_EQ(c.extensions.Field(done, VExtensions::ICAL_COMPLETED), "");
    // A failed exchange applies nothing.
    before = DocumentBytes(c);
    SyncResult failed;
    failed.error = "the server failed";
    EXPECT_FALSE(ApplySyncResult(c, second, failed).changed);
    EXPECT_EQ(DocumentBytes(c), before);
}

// What came down while the item changed here: the cases by what changed where.
TEST_F(SyncApplyTest, AnItemChangedHereIsNeverOverwritten) {
    struct Case {
        const char* name;
        bool changedHereBeforeSnapshot, changedHereAfterSnapshot;
        bool conflict;
    } cases[] = {{"changed only there", false, false, false},
                 {"changed on both sides", true, false, true},
                 {"changed here while the exchange ran", false, true, true}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        c.Clear(); // a fresh document for each case
        c.CreateRoot();
        SetUp();
        SyncedOnce();
        VTodo* shared = Node("Shared");
        if (k.changedHereBeforeSnapshot) shared->what = "Shared here";
        SyncSnapshot s = TakeSyncSnapshot(c);
        SyncResult r;
        r.status = SyncResult::Status::Done;
        r.downloaded.push_back(
            {Uid(shared), "/cal/x.ics", "\"2\"", ServerVersion(shared, "Shared there")});
        if (k.changedHereAfterSnapshot) shared->what = "Shared here";
        SyncApplied applied = ApplySyncResult(c, s, r);
        EXPECT_EQ(std::string(shared->what.Text()), "Shared there");
        VTodo* copy = Node("Shared here (conflict, this computer)");
        if (k.conflict) {
            ASSERT_NE(copy, nullptr);
            EXPECT_EQ(copy->parent, folder);
            EXPECT_NE(Uid(copy), Uid(shared));
            EXPECT_EQ(applied.conflictTexts, std::vector<std::string>{"Shared here"});
        } else {
            EXPECT_EQ(copy, nullptr);
            EXPECT_TRUE(applied.conflictTexts.empty());
        }
        EXPECT_EQ(ReadSyncState(c).items[Uid(shared)].etag, "\"2\"");
    }
}

TEST_F(SyncApplyTest, AnItemDeletedThereButChangedHereStaysToGoUpAgain) {
    SyncedOnce();
    VTodo* shared = Node("Shared");
    VTodo* other = Node("Other");
    std::string sharedUid = Uid(shared), otherUid = Uid(other);
    SyncSnapshot s = TakeSyncSnapshot(c);
    SyncResult r;
    r.status = SyncResult::Status::Done;
    r.deletedHere = {sharedUid, otherUid};
    shared->what = "Shared changed meanwhile";
    SyncApplied applied = ApplySyncResult(c, s, r);
    EXPECT_EQ(applied.deletedHere, 1);
    EXPECT_EQ(Node("Other"), nullptr);
    EXPECT_EQ(Node("Shared changed meanwhile"), shared);
    EXPECT_EQ(ReadSyncState(c).items.count(sharedUid), 0u); // new to the server next time
}

} // namespace
