#include "core/TransferEstimate.h"

#include <gtest/gtest.h>

using namespace trelmig;
using namespace std::chrono_literals;

// Speed is the average since the start; nothing is claimed from the first
// instant, and the last second left is never shown as zero.
TEST(TransferEstimate, SpeedAndTimeLeftFromTheReportedBytes) {
    const TransferEstimate::Clock::time_point t0{};
    TransferEstimate e;
    e.Start(4'000'000'000, t0);
    e.Update(50'000'000, t0 + 200ms);
    EXPECT_EQ(e.BytesPerSecond(), std::nullopt);
    EXPECT_EQ(e.TimeLeft(), std::nullopt);

    e.Update(1'200'000'000, t0 + 10s); // a pause included: 120 MB/s on average
    ASSERT_TRUE(e.BytesPerSecond());
    EXPECT_DOUBLE_EQ(*e.BytesPerSecond(), 120'000'000.0);
    EXPECT_EQ(e.TimeLeft(), 23s); // 2.8 GB at 120 MB/s

    e.Update(3'999'999'999, t0 + 20s);
    EXPECT_EQ(e.TimeLeft(), 1s);
    e.Update(9'000'000'000, t0 + 21s); // past the total: held at it
    EXPECT_EQ(e.Done(), 4'000'000'000u);
    EXPECT_EQ(e.TimeLeft(), 0s);

    // A reading from an earlier moment does not turn time back.
    e.Start(100, t0 + 30s);
    e.Update(50, t0 + 31s);
    e.Update(60, t0 + 29s);
    EXPECT_DOUBLE_EQ(*e.BytesPerSecond(), 60.0);
}
