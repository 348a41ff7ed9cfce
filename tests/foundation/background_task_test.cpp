#include "foundation/background_task.h"
#include "foundation/qsync.h"

#include "support/posted_queue.h"

#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace {

TEST(BackgroundTask, RunsTheWorkOffThisThreadAndItsEndOnThisOne) {
    PostedQueue ui;
    BackgroundTask task(ui.Poster(), "Work");
    std::thread::id workedOn, endedOn;
    int result = 0; // written by the work, read by the end: the hand-over orders them
    ASSERT_TRUE(task.Start([&] { workedOn = std::this_thread::get_id(), result = 42; },
                           [&] { endedOn = std::this_thread::get_id(); }));
    EXPECT_TRUE(task.Running());
    ASSERT_TRUE(ui.RunNext());
    EXPECT_FALSE(task.Running());
    EXPECT_NE(workedOn, std::this_thread::get_id());
    EXPECT_EQ(endedOn, std::this_thread::get_id());
    EXPECT_EQ(result, 42);
}

TEST(BackgroundTask, NeverRunsTwoAtOnceAndTakesTheNextAfterTheEnd) {
    PostedQueue ui;
    BackgroundTask task(ui.Poster(), "Work");
    QSema release(0, 1);
    int works = 0, ends = 0;
    ASSERT_TRUE(task.Start([&] { ++works, release.Wait(); }, [&] { ++ends; }));
    // Refused while the work runs, and still while its end waits in the queue.
    EXPECT_FALSE(task.Start([&] { ++works; }, [&] { ++ends; }));
    release.Release();
    EXPECT_FALSE(task.Start([&] { ++works; }, [&] { ++ends; }));
    ASSERT_TRUE(ui.RunNext());
    EXPECT_EQ(ends, 1);
    for (int round = 2; round <= 5; ++round) {
        ASSERT_TRUE(task.Start([&] { ++works; }, [&] { ++ends; }));
        ASSERT_TRUE(ui.RunNext());
        EXPECT_EQ(ends, round);
    }
    EXPECT_EQ(works, 5);
    EXPECT_EQ(ui.Waiting(), 0u);
}

TEST(BackgroundTask, GoneBeforeTheEndWaitsForTheWorkAndDropsTheEnd) {
    PostedQueue ui;
    QSema entered(0, 1), release(0, 1);
    bool worked = false, ended = false;
    {
        BackgroundTask task(ui.Poster(), "Work");
        ASSERT_TRUE(task.Start(
            [&] {
                entered.Release();
                release.Wait();
                worked = true;
            },
            [&] { ended = true; }));
        entered.Wait();
        release.Release();
    } // waits for the work
    EXPECT_TRUE(worked);
    ASSERT_TRUE(ui.RunNext()); // the queued end still runs, and does nothing
    EXPECT_FALSE(ended);
}

} // namespace
