// UIDs of items that have none stored: the calendar feed hands them out without saving the
// document, so they must come out the same from every load of the same file, and no item's
// may change because another item came.
#include "interop/ical_export.h"

#include "interop/ical_fixture.h"
#include "interop/ical_reading.h"
#include "support/log_capture.h"

#include <gmock/gmock.h>
#include <map>
#include <set>

namespace {

class IcsUidTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        VCollection c;
        IcsFixture doc(c);
        // Twins: the same text, kind and folder, told apart by their other fields.
        for (int priority : {0, 2}) {
            auto* twin = AddNode<VTodo>(c, doc.work);
            twin->what = "Call back";
            twin->priority = priority;
        }
        ASSERT_TRUE(c.Save("doc.vnt"));
    }

    // Each item's UID by its summary (and PRIORITY, which tells the twins apart), from a
    // load of the file as it stands.
    static std::map<std::string, std::string> Uids(const char* file = "doc.vnt") {
        VCollection c;
        c.Load(file);
        ReadCalendar cal = ReadICalendar(ExportICalendar(c, AllNodes(c), "").text);
        std::map<std::string, std::string> uids;
        for (const ReadTodo& t : cal.todos)
            uids[t.Get("SUMMARY") + "/" + t.Get("PRIORITY")] = t.Get("UID");
        return uids;
    }
};

TEST_F(IcsUidTest, EveryLoadOfTheSameFileGivesTheSameUids) {
    std::map<std::string, std::string> first = Uids();
    ASSERT_EQ(first.size(), 9u);
    std::set<std::string> distinct;
    for (const auto& [item, uid] : first) {
        EXPECT_THAT(uid, ::testing::MatchesRegex("vantry-[0-9a-f]{16}")) << item;
        distinct.insert(uid);
    }
    EXPECT_EQ(distinct.size(), first.size()) << "no two alike, twins included";
    EXPECT_EQ(Uids(), first);
}

// Every save writes the list in the reverse order of the load before it, and the new item
// comes first: none of that moves another item's UID, the twins' included, nor does a
// third twin.
TEST_F(IcsUidTest, AnItemAddedAndTheSaveChangeNoOtherItemsUid) {
    std::map<std::string, std::string> before = Uids();
    for (const char* text : {"Something new", "Call back"}) {
        VCollection c;
        c.Load("doc.vnt");
        auto* added = AddNode<VTodo>(c, c.FindFolder("Work"));
        added->what = text;
        added->priority = 1;
        ASSERT_TRUE(c.Save("doc.vnt"));
        std::map<std::string, std::string> after = Uids();
        EXPECT_EQ(after.size(), before.size() + 1);
        for (const auto& [item, uid] : before)
            EXPECT_EQ(after[item], uid) << item << " after adding " << text;
        before = after;
    }
}

// The UIDs handed out are the ones an export keeps in the document, so a later export,
// the feed and a sync agree on them.
TEST_F(IcsUidTest, TheUidsKeptAreTheOnesHandedOut) {
    std::map<std::string, std::string> handedOut = Uids();
    VCollection c;
    c.Load("doc.vnt");
    IcsExport kept = ExportICalendar(c, AllNodes(c), "");
    EXPECT_EQ(kept.newIdentities, 9);
    ASSERT_TRUE(c.Save("kept.vnt"));
    EXPECT_EQ(Uids("kept.vnt"), handedOut);
}

} // namespace
