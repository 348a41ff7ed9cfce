#include "foundation/qsync.h"
#include "foundation/qthread.h"

#include "support/log_capture.h"

#include <atomic>
#include <fstream>
#include <gmock/gmock.h>
#include <memory>
#include <string>
#include <vector>

using ::testing::HasSubstr;

namespace {

class ThreadTest : public LogTest {};

std::string SystemName(pid_t id) {
    std::ifstream comm("/proc/self/task/" + std::to_string(id) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

struct Probe {
    QSema started{0, 1};
    QSema finish{0, 1};
    std::atomic<int> runs{0};
};

void runProbe(void* argument) {
    auto* probe = static_cast<Probe*>(argument);
    ++probe->runs;
    probe->started.Release();
    probe->finish.Wait();
}

TEST_F(ThreadTest, RunsItsFunctionUnderItsNameAndIsRegistered) {
    int before = QThread::RegisteredCount();
    Probe probe;
    {
        QThread thread(&runProbe, &probe, "HTTPRequest Handler");
        EXPECT_EQ(QThread::RegisteredCount(), before + 1);
        EXPECT_STREQ(thread.Name(), "HTTPRequest Handler");
        ASSERT_TRUE(thread.Start());
        ASSERT_TRUE(probe.started.Wait(60 * 1000));
        EXPECT_GT(thread.Id(), 0);
        // The system keeps the first 15 characters.
        EXPECT_EQ(SystemName(thread.Id()), "HTTPRequest Han");
        EXPECT_FALSE(thread.Start()); // one run per thread
        probe.finish.Release();
    }
    EXPECT_EQ(probe.runs.load(), 1);
    EXPECT_EQ(QThread::RegisteredCount(), before);
    EXPECT_EQ(Log(), "");
}

TEST_F(ThreadTest, AFullRegistryIsReportedAndTheThreadStillWorks) {
    Probe probe;
    std::vector<std::unique_ptr<QThread>> threads;
    while (QThread::RegisteredCount() < QThread::MAX_THREADS)
        threads.push_back(std::make_unique<QThread>(&runProbe, &probe, "filler"));
    EXPECT_EQ(Log(), "");
    {
        QThread extra(&runProbe, &probe, "extra");
        EXPECT_THAT(Log(), HasSubstr("AddThread(); out of thread space."));
        ASSERT_TRUE(extra.Start());
        EXPECT_TRUE(probe.started.Wait(60 * 1000));
        probe.finish.Release();
    }
    EXPECT_THAT(Log(), HasSubstr("RemoveThread(); can't find thread "));
    threads.clear();
    EXPECT_EQ(QThread::RegisteredCount(), 0);
}

TEST(QSema, CountsUnitsUpToItsMaximum) {
    QSema sema(1, 2);
    EXPECT_TRUE(sema.Wait(QSema::TEST_ONLY));
    EXPECT_FALSE(sema.Wait(QSema::TEST_ONLY));
    EXPECT_FALSE(sema.Wait(30)); // waits 30 ms, then gives up
    EXPECT_TRUE(sema.Release());
    EXPECT_TRUE(sema.Release());
    EXPECT_FALSE(sema.Release()); // past the maximum
    EXPECT_EQ(sema.Count(), 2);
    EXPECT_TRUE(sema.Wait(QSema::FOREVER));
    EXPECT_TRUE(sema.Wait(10));
    EXPECT_EQ(sema.Count(), 0);
}

TEST(QSema, AWaitForEverEndsWithARelease) {
    QSema sema(0, 1);
    std::atomic<bool> woke{false};
    std::thread waiter([&] {
        sema.Wait();
        woke = true;
    });
    EXPECT_FALSE(woke.load());
    sema.Release();
    waiter.join();
    EXPECT_TRUE(woke.load());
}

TEST(QMutex, KeepsOthersOutWhileHeld) {
    QMutex mutex;
    {
        QMutexLock hold(mutex);
        std::thread other([&] { EXPECT_FALSE(mutex.TryLock()); });
        other.join();
    }
    EXPECT_TRUE(mutex.TryLock());
    mutex.Unlock();
}

} // namespace
