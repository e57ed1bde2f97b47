#include "core/TransferEstimate.h"

#include <algorithm>
#include <cmath>

namespace trelmig {

void TransferEstimate::Start(std::uint64_t total, Clock::time_point at) {
    started_ = true;
    total_ = total;
    done_ = 0;
    start_ = last_ = at;
}

void TransferEstimate::Update(std::uint64_t done, Clock::time_point at) {
    done_ = std::min(done, total_);
    last_ = std::max(last_, at);
}

std::optional<double> TransferEstimate::BytesPerSecond() const {
    const double seconds = std::chrono::duration<double>(last_ - start_).count();
    if (!started_ || done_ == 0 || seconds < 0.5)
        return std::nullopt;
    return static_cast<double>(done_) / seconds;
}

std::optional<std::chrono::seconds> TransferEstimate::TimeLeft() const {
    const auto speed = BytesPerSecond();
    if (!speed)
        return std::nullopt;
    const double left = static_cast<double>(total_ - done_) / *speed;
    if (total_ > done_ && left < 1)
        return std::chrono::seconds(1);
    return std::chrono::seconds(static_cast<long long>(std::llround(left)));
}

} // namespace trelmig
