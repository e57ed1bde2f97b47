#pragma once

#include "core/CancelToken.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace trelmig {

// A fixed set of threads running tasks from a bounded queue: below the
// windows (which run drivers through Qt's own pool), the one place where the
// program starts threads of its own.
//
// The rules a caller relies on:
// - Threads: ThreadsForThisMachine() (one per core, at least one) unless the
//   caller names another count; the set never grows or shrinks.
// - Submit blocks while the queue is full, and resumes as tasks are taken.
//   Called from a task of the same pool it never blocks: when the queue is
//   full the new task runs there and then, so a task that submits more work
//   cannot deadlock the pool.
// - A task never waits for another task of its own pool (Wait() from a task
//   throws std::logic_error). A consumer that blocks until a producer hands it
//   work (a write-behind writer) would hold a thread the producers may need:
//   it gets a pool of its own (one thread per consumer), never a slot in its
//   producers' pool.
// - Tasks run in the order submitted; with one thread, one after the other.
// - The first exception a task throws cancels the pool and is rethrown by
//   Wait(). Cancel() drops the tasks not yet started; running ones see Token()
//   (or Cancelled()) and should stop soon. A cancelled pool takes no new task.
// - Destroying the pool cancels it and joins its threads.
class WorkerPool {
public:
    // One thread per core this process may run on, at least one.
    static unsigned ThreadsForThisMachine();

    // threads 0 counts as 1; queueLimit 0 means twice the thread count.
    // Throws std::system_error when not even one thread can be started.
    explicit WorkerPool(unsigned threads = ThreadsForThisMachine(), std::size_t queueLimit = 0);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Queues task, waiting while the queue is full. False (task dropped)
    // once the pool is cancelled.
    bool Submit(std::function<void()> task);
    // Drops the queued tasks and raises the token of the running ones.
    void Cancel();
    // Waits until no task is queued or running. Rethrows the first exception
    // a task threw; otherwise false when the pool was cancelled (some tasks
    // may not have run), true when every task submitted ran.
    bool Wait();

    const CancelToken& Token() const { return token_; }
    bool Cancelled() const { return token_.Requested(); }
    unsigned ThreadCount() const { return static_cast<unsigned>(threads_.size()); }

private:
    void run();
    void runTask(std::function<void()>& task);
    // With mutex_ held; the dropped tasks are handed back to be destroyed
    // without the lock (their captures may do anything).
    std::deque<std::function<void()>> cancelLocked();
    bool onOwnThread() const;

    std::mutex mutex_;
    std::condition_variable taskReady_;
    std::condition_variable roomFree_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> queue_;
    const std::size_t queueLimit_;
    std::size_t running_ = 0;
    bool cancelled_ = false;
    bool stopping_ = false;
    std::exception_ptr error_;
    CancelToken token_;
    std::vector<std::thread> threads_;
};

} // namespace trelmig
