#include "core/WorkerPool.h"

#include <algorithm>
#include <sched.h>
#include <stdexcept>
#include <system_error>

namespace trelmig {

namespace {

// The pool whose task runs on this thread, if any.
thread_local const WorkerPool* tCurrentPool = nullptr;

} // namespace

// The cores this process may run on (taskset, a container's cpuset), not
// every core of the machine: more threads than those only take turns.
unsigned WorkerPool::ThreadsForThisMachine() {
    cpu_set_t allowed;
    if (::sched_getaffinity(0, sizeof allowed, &allowed) == 0)
        return std::max(1, CPU_COUNT(&allowed));
    return std::max(1u, std::thread::hardware_concurrency());
}

WorkerPool::WorkerPool(unsigned threads, std::size_t queueLimit)
    : queueLimit_(queueLimit > 0 ? queueLimit : 2 * std::size_t(std::max(threads, 1u))) {
    threads = std::max(threads, 1u);
    threads_.reserve(threads);
    for (unsigned i = 0; i < threads; ++i) {
        try {
            threads_.emplace_back([this] { run(); });
        } catch (const std::system_error&) {
            if (threads_.empty())
                throw;
            break; // fewer threads do the same work, only slower
        }
    }
}

WorkerPool::~WorkerPool() {
    std::deque<std::function<void()>> dropped;
    {
        const std::lock_guard lock(mutex_);
        dropped = cancelLocked();
        stopping_ = true;
    }
    taskReady_.notify_all();
    dropped.clear();
    for (auto& thread : threads_)
        thread.join();
}

bool WorkerPool::onOwnThread() const {
    return tCurrentPool == this;
}

bool WorkerPool::Submit(std::function<void()> task) {
    std::unique_lock lock(mutex_);
    if (onOwnThread()) {
        if (cancelled_)
            return false;
        if (queue_.size() >= queueLimit_) {
            lock.unlock();
            runTask(task);
            return true;
        }
    } else {
        roomFree_.wait(lock, [this] { return cancelled_ || queue_.size() < queueLimit_; });
        if (cancelled_)
            return false;
    }
    queue_.push_back(std::move(task));
    lock.unlock();
    taskReady_.notify_one();
    return true;
}

std::deque<std::function<void()>> WorkerPool::cancelLocked() {
    cancelled_ = true;
    token_.Cancel();
    std::deque<std::function<void()>> dropped;
    dropped.swap(queue_);
    roomFree_.notify_all();
    if (running_ == 0)
        idle_.notify_all();
    return dropped;
}

void WorkerPool::Cancel() {
    std::deque<std::function<void()>> dropped;
    {
        const std::lock_guard lock(mutex_);
        dropped = cancelLocked();
    }
}

bool WorkerPool::Wait() {
    if (onOwnThread())
        throw std::logic_error("A task of a worker pool waited for its own pool.");
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return queue_.empty() && running_ == 0; });
    if (error_)
        std::rethrow_exception(error_);
    return !cancelled_;
}

void WorkerPool::runTask(std::function<void()>& task) {
    try {
        task();
    } catch (...) {
        std::deque<std::function<void()>> dropped;
        const std::lock_guard lock(mutex_);
        if (!error_)
            error_ = std::current_exception();
        dropped = cancelLocked();
    }
}

void WorkerPool::run() {
    tCurrentPool = this;
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            taskReady_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty())
                return;
            task = std::move(queue_.front());
            queue_.pop_front();
            ++running_;
        }
        roomFree_.notify_one();
        runTask(task);
        task = nullptr; // its captures go before the pool may count as idle
        {
            const std::lock_guard lock(mutex_);
            --running_;
            if (running_ == 0 && queue_.empty())
                idle_.notify_all();
        }
    }
}

} // namespace trelmig
