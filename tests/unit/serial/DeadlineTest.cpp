// Deadlines from the device timeouts: a span the clock cannot hold must mean "no limit".
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>

#include "serial/Deadline.h"

namespace velor {
namespace {

using namespace std::chrono_literals;

TEST(Deadline, HugeSpansSaturateInsteadOfWrappingIntoThePast) {
    // A multiplier of all bits set (a negative one) times a long count, plus a constant.
    const uint64_t allBits = 0xFFFFFFFFull;
    for (const uint64_t ms : {allBits * 4096, allBits * allBits + allBits, uint64_t{1} << 63,
                              Deadline::kLongestMs + 1}) {
        const Deadline d = Deadline::AfterMs(ms);
        EXPECT_FALSE(d.Expired()) << ms;
        const auto left = d.Remaining();
        EXPECT_TRUE(!left.has_value() || *left > 24h * 365) << ms;
    }
}

TEST(Deadline, LongestSpanStillCountsDown) {
    const Deadline d = Deadline::AfterMs(Deadline::kLongestMs);
    ASSERT_FALSE(d.IsNever());
    EXPECT_FALSE(d.Expired());
    EXPECT_GT(*d.Remaining(), 24h * 365 * 99);
    // An ordinary span still ends.
    const Deadline soon = Deadline::AfterMs(0);
    EXPECT_TRUE(soon.Expired());
    EXPECT_EQ(*soon.Remaining(), 0ns);
}

}  // namespace
}  // namespace velor
