// The calendar feed is built once for each change sequence of the document and shared as
// it stands; the headless document's sequence lasts as long as it stays frozen.
#include "remoteview/calendar_feed.h"

#include "model/vcollviewer.h"
#include "model/vtodo.h"
#include "remoteview/remote_document.h"
#include "support/log_capture.h"
#include "support/model_builders.h"

#include <gmock/gmock.h>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

class CalendarFeedTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        AddNode<VTodo>(c)->what = "first";
    }
    VCollection c;
};

TEST_F(CalendarFeedTest, OneBuildForEachChangeSequence) {
    CalendarFeed feed;
    auto first = feed.Of(c, 1);
    ASSERT_NE(first, nullptr);
    EXPECT_THAT(*first, HasSubstr("SUMMARY:first"));
    AddNode<VTodo>(c)->what = "second";
    EXPECT_EQ(feed.Of(c, 1), first) << "the same sequence shares the feed already built";
    auto second = feed.Of(c, 2);
    EXPECT_NE(second, first);
    EXPECT_THAT(*second, HasSubstr("SUMMARY:second"));
    EXPECT_THAT(*first, Not(HasSubstr("SUMMARY:second"))) << "a feed being sent stays as it was";
    VCollection other;
    EXPECT_NE(feed.Of(other, 2), second) << "another document is another feed";
}

TEST_F(CalendarFeedTest, AnAbandonedBuildGivesNoFeed) {
    CalendarFeed feed;
    EXPECT_EQ(feed.Of(c, 1, [] { return true; }), nullptr);
    EXPECT_NE(feed.Of(c, 1), nullptr) << "nothing half built was kept";
}

TEST_F(CalendarFeedTest, ALockedDocumentsSequenceLastsAsLongAsItsFreeze) {
    VCollectionViewer viewer(&c);
    LockedDocument document(viewer);
    auto sequence = [&] {
        std::uint64_t seen = 0;
        document.Run([&](VCollectionViewer&) { seen = document.ChangeSequence(); });
        return seen;
    };
    std::uint64_t thawed = sequence();
    EXPECT_NE(sequence(), thawed) << "any run may have changed a document that is not frozen";
    c.FreezeStructure(true);
    std::uint64_t frozen = sequence();
    EXPECT_EQ(sequence(), frozen);
    EXPECT_EQ(sequence(), frozen);
    c.FreezeStructure(false);
    c.FreezeStructure(true);
    EXPECT_NE(sequence(), frozen) << "thawed in between: it may have changed";
}

} // namespace
