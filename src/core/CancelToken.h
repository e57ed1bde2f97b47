#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace trelmig {

// Set by the user (from the windows' thread) to stop a run that works on
// another thread; the run looks at it between items and inside long copies.
// A run given none, or one never set, goes to its end. While the token is
// paused (the user is asked whether to cancel) a run that looks at it waits
// there, so that it cannot finish, or replace a file, before the answer.
class CancelToken {
public:
    void Cancel() {
        {
            const std::lock_guard lock(mutex_);
            requested_.store(true, std::memory_order_relaxed);
            paused_ = false;
        }
        changed_.notify_all();
    }
    void Reset() {
        const std::lock_guard lock(mutex_);
        requested_.store(false, std::memory_order_relaxed);
        paused_ = false;
    }
    bool Requested() const { return requested_.load(std::memory_order_relaxed); }

    void Pause() {
        const std::lock_guard lock(mutex_);
        paused_ = true;
    }
    void Resume() {
        {
            const std::lock_guard lock(mutex_);
            paused_ = false;
        }
        changed_.notify_all();
    }
    // For the run: returns once the token is not paused; true when cancelled.
    bool WaitAndCheck() const {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !paused_; });
        return Requested();
    }

private:
    std::atomic<bool> requested_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool paused_ = false;
};

// Where a run looks at its token: it waits here while the token is paused.
inline bool CancelRequested(const CancelToken* token) {
    return token && token->WaitAndCheck();
}

} // namespace trelmig
