#include "core/WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <future>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace trelmig;
using namespace std::chrono_literals;

namespace {

// A gate the test opens; tasks wait at it.
class Gate {
public:
    void open() {
        {
            const std::lock_guard lock(mutex_);
            open_ = true;
        }
        changed_.notify_all();
    }
    void pass() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return open_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
};

// Runs what may hang; a hang ends the test binary with a failure instead of
// leaving ctest to wait for its time-out.
template <typename F> void withoutHanging(const char* what, F f) {
    auto done = std::async(std::launch::async, f);
    if (done.wait_for(60s) == std::future_status::timeout) {
        ADD_FAILURE() << what << " hangs";
        std::_Exit(1);
    }
    done.get();
}

} // namespace

TEST(WorkerPool, EveryThreadCountRuleGivesAtLeastOneThreadAndOneThreadKeepsTheOrder) {
    EXPECT_GE(WorkerPool::ThreadsForThisMachine(), 1u);
    EXPECT_EQ(WorkerPool(0).ThreadCount(), 1u);
    EXPECT_EQ(WorkerPool(3).ThreadCount(), 3u);

    WorkerPool pool(1, 2);
    std::vector<int> order; // one thread: no two tasks touch it at once
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(pool.Submit([&order, i] { order.push_back(i); }));
    EXPECT_TRUE(pool.Wait());
    ASSERT_EQ(order.size(), 50u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
}

TEST(WorkerPool, AFullQueueBlocksTheSubmitterUntilATaskIsTaken) {
    WorkerPool pool(1, 2);
    Gate gate;
    std::atomic<int> ran{0};
    pool.Submit([&] {
        gate.pass();
        ++ran;
    });
    // The thread holds the first task: two more fill the queue.
    pool.Submit([&] { ++ran; });
    pool.Submit([&] { ++ran; });
    std::atomic<bool> fourthQueued{false};
    std::thread submitter([&] {
        pool.Submit([&] { ++ran; });
        fourthQueued = true;
    });
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(fourthQueued) << "Submit did not wait for room in the queue";
    gate.open();
    submitter.join();
    EXPECT_TRUE(fourthQueued);
    EXPECT_TRUE(pool.Wait());
    EXPECT_EQ(ran, 4);
}

TEST(WorkerPool, CancelDropsQueuedTasksStopsTheRunningOneAndEndsTheWait) {
    WorkerPool pool(1, 8);
    std::atomic<bool> started{false};
    std::atomic<bool> sawCancel{false};
    std::atomic<int> queuedRan{0};
    pool.Submit([&] {
        started = true;
        while (!pool.Token().Requested())
            std::this_thread::sleep_for(1ms);
        sawCancel = true;
    });
    for (int i = 0; i < 5; ++i)
        pool.Submit([&] { ++queuedRan; });
    while (!started)
        std::this_thread::sleep_for(1ms);
    pool.Cancel();
    withoutHanging("Wait after Cancel", [&] { EXPECT_FALSE(pool.Wait()); });
    EXPECT_TRUE(sawCancel);
    EXPECT_EQ(queuedRan, 0);
    // A cancelled pool takes nothing more.
    EXPECT_FALSE(pool.Submit([&] { ++queuedRan; }));
    EXPECT_FALSE(pool.Wait());
    EXPECT_EQ(queuedRan, 0);
}

TEST(WorkerPool, TheFirstExceptionOfATaskReachesTheWaiterAndStopsTheRest) {
    WorkerPool pool(1, 8);
    std::atomic<int> ranAfter{0};
    pool.Submit([] { throw std::runtime_error("disk full"); });
    pool.Submit([] { throw std::runtime_error("second failure"); });
    for (int i = 0; i < 4; ++i)
        pool.Submit([&] { ++ranAfter; });
    try {
        pool.Wait();
        ADD_FAILURE() << "Wait did not rethrow";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "disk full");
    }
    EXPECT_EQ(ranAfter, 0);
    EXPECT_TRUE(pool.Cancelled());
    // Asked again, the same failure.
    EXPECT_THROW(pool.Wait(), std::runtime_error);

    // A pool whose task cannot even be waited for: the task's mistake, told.
    WorkerPool other(2);
    other.Submit([&other] { other.Wait(); });
    EXPECT_THROW(other.Wait(), std::logic_error);
}

TEST(WorkerPool, TasksThatSubmitIntoTheirOwnFullPoolDoNotDeadlock) {
    // Every thread busy submitting, a queue of one: the promised rule runs
    // what does not fit on the submitting thread.
    WorkerPool pool(2, 1);
    std::atomic<int> leaves{0};
    withoutHanging("Submitting from tasks", [&] {
        for (int i = 0; i < 4; ++i)
            pool.Submit([&] {
                for (int j = 0; j < 8; ++j)
                    pool.Submit([&] {
                        std::this_thread::sleep_for(1ms);
                        ++leaves;
                    });
            });
        EXPECT_TRUE(pool.Wait());
    });
    EXPECT_EQ(leaves, 32);
}

TEST(WorkerPool, DestroyingABusyPoolStopsItWithoutRunningWhatWasQueued) {
    std::atomic<int> queuedRan{0};
    std::atomic<bool> started{false};
    std::atomic<bool> stopped{false};
    withoutHanging("Destroying a busy pool", [&] {
        WorkerPool pool(1, 4);
        pool.Submit([&] {
            started = true;
            while (!pool.Cancelled())
                std::this_thread::sleep_for(1ms);
            stopped = true;
        });
        for (int i = 0; i < 4; ++i)
            pool.Submit([&] { ++queuedRan; });
        while (!started)
            std::this_thread::sleep_for(1ms);
    });
    EXPECT_TRUE(stopped);
    EXPECT_EQ(queuedRan, 0);
}
