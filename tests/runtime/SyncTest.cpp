// The synchronisation kit between real threads.

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "runtime/Sync.h"
#include "runtime/Worker.h"

namespace {

// Two threads hand a token back and forth; each sees every value the other left.
TEST(SyncTest, HandoffsBetweenTwoThreadsSeeEachOthersState) {
    Lock lock;
    Condition changed;
    int token = 0;
    std::vector<int> seenByOther;
    const int rounds = 2000;
    Thread other([&] {
        LockHold hold(lock);
        for (int i = 0; i < rounds; ++i) {
            changed.Wait(hold, [&] { return token % 2 == 1; });
            seenByOther.push_back(token);
            ++token;
            changed.WakeAll();
        }
    });
    {
        LockHold hold(lock);
        for (int i = 0; i < rounds; ++i) {
            ++token;
            changed.WakeAll();
            changed.Wait(hold, [&] { return token % 2 == 0; });
        }
    }
    other.Join();
    ASSERT_EQ(seenByOther.size(), static_cast<size_t>(rounds));
    for (int i = 0; i < rounds; ++i)
        EXPECT_EQ(seenByOther[static_cast<size_t>(i)], 2 * i + 1);
}

TEST(SyncTest, AWaitForAStateNeverReachedTimesOut) {
    Lock lock;
    Condition never;
    LockHold hold(lock);
    EXPECT_FALSE(never.WaitFor(hold, 30, [] { return false; }));
    EXPECT_TRUE(never.WaitFor(hold, 30, [] { return true; }));
}

TEST(SyncTest, ManyWaitersAreWokenAtOnce) {
    Lock lock;
    Condition gate;
    bool open = false;
    int waiting = 0;
    std::atomic<int> through{0};
    std::vector<Thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&] {
            LockHold hold(lock);
            ++waiting;
            gate.WakeAll();
            gate.Wait(hold, [&] { return open; });
            ++through;
        });
    {
        LockHold hold(lock);
        gate.Wait(hold, [&] { return waiting == 8; });
        EXPECT_EQ(through.load(), 0);
        open = true;
    }
    gate.WakeAll();
    for (Thread& thread : threads)
        thread.Join();
    EXPECT_EQ(through.load(), 8);
}

// The worker's failure reaches the caller; a tick that fails stops the work first.
TEST(SyncTest, TheWorkersFailureAndAStoppingTickReachTheCaller) {
    EXPECT_THROW(RunOnWorker([] { throw 7; }, [] {}, [] {}), int);
    std::atomic<bool> stop{false};
    bool stoppedBeforeEnd = false;
    EXPECT_THROW(RunOnWorker(
                     [&] {
                         while (!stop)
                             Sleep(1);
                         stoppedBeforeEnd = true;
                     },
                     [] { throw 8; }, [&] { stop = true; }, std::chrono::milliseconds(5)),
                 int);
    EXPECT_TRUE(stoppedBeforeEnd);
}

}  // namespace
