#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace trelmig {

// Speed and time left of a transfer, from the bytes done at the moments they
// were reported. The speed is the average since the start, so that a pause
// of the disc or the network shows as a slower speed, not as a jump.
class TransferEstimate {
public:
    using Clock = std::chrono::steady_clock;

    // A new transfer of total bytes, started at that moment.
    void Start(std::uint64_t total, Clock::time_point at);
    void Update(std::uint64_t done, Clock::time_point at);

    std::uint64_t Done() const { return done_; }
    std::uint64_t Total() const { return total_; }
    bool Started() const { return started_; }
    // Bytes per second; nullopt until half a second has passed with bytes
    // done (a figure from the first block alone misleads).
    std::optional<double> BytesPerSecond() const;
    // Whole seconds left at that speed, at least 1 while bytes remain;
    // nullopt while the speed is not known.
    std::optional<std::chrono::seconds> TimeLeft() const;

private:
    bool started_ = false;
    std::uint64_t total_ = 0;
    std::uint64_t done_ = 0;
    Clock::time_point start_{};
    Clock::time_point last_{};
};

} // namespace trelmig
