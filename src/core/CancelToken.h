#pragma once

#include <atomic>

namespace trelmig {

// Set by the user (from the windows' thread) to stop a run that works on
// another thread; the run looks at it between items and inside long copies.
// A run given none, or one never set, goes to its end.
class CancelToken {
public:
    void Cancel() { requested_.store(true, std::memory_order_relaxed); }
    void Reset() { requested_.store(false, std::memory_order_relaxed); }
    bool Requested() const { return requested_.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> requested_{false};
};

inline bool CancelRequested(const CancelToken* token) {
    return token && token->Requested();
}

} // namespace trelmig
