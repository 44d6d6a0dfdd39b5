#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "skin/TsGauge.h"

namespace velor {
namespace {

TEST(TsGauge, ShowsThePercentageRoundedHalfToEven) {
    const struct {
        int64_t max, progress;
        std::string text;
    } cases[] = {
        {100, 0, "0%"},
        {100, 100, "100%"},
        {200, 1, "0%"},  // 0.5 -> 0
        {200, 3, "2%"},  // 1.5 -> 2
        {200, 5, "2%"},  // 2.5 -> 2
        {3, 1, "33%"},
        {3, 2, "67%"},
        {8, 5, "62%"},               // 62.5 -> 62
        {0, 0, "0%"},                // zero range
        {60000, 1'000'000, "100%"},  // held at the maximum
        {std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::max() / 2, "50%"},
    };
    for (const auto& c : cases) {
        TsGauge gauge;
        gauge.SetMaxValue(c.max);
        gauge.SetProgress(c.progress);
        EXPECT_EQ(gauge.Text(), c.text) << c.max << " " << c.progress;
    }
}

TEST(TsGauge, HoldsProgressWithinItsRange) {
    TsGauge gauge;
    EXPECT_EQ(gauge.MaxValue(), 100);
    gauge.SetProgress(-5);
    EXPECT_EQ(gauge.Progress(), 0);
    gauge.SetProgress(80);
    gauge.SetMaxValue(50);  // lowering the maximum lowers Progress with it
    EXPECT_EQ(gauge.Progress(), 50);
    gauge.SetMaxValue(1000);
    EXPECT_EQ(gauge.Progress(), 50);
    gauge.AddProgress(std::numeric_limits<int64_t>::max());  // no overflow, just full
    EXPECT_EQ(gauge.Progress(), 1000);
    gauge.AddProgress(std::numeric_limits<int64_t>::min());
    EXPECT_EQ(gauge.Progress(), 0);
}

TEST(TsGauge, RefusesAMaximumBelowTheMinimumAndKeepsItsState) {
    const struct {
        int64_t min, max;
        std::string message;
    } cases[] = {
        {0, -1, "Value must be between 1 and 2147483647"},
        {10, 9, "Value must be between 11 and 2147483647"},
    };
    for (const auto& c : cases) {
        TsGauge gauge;
        gauge.SetMaxValue(100);
        gauge.SetMinValue(c.min);
        gauge.SetProgress(40);
        try {
            gauge.SetMaxValue(c.max);
            ADD_FAILURE() << "accepted " << c.max;
        } catch (const ERangeError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
        EXPECT_EQ(gauge.MaxValue(), 100);
        EXPECT_EQ(gauge.Progress(), 40);
    }
    TsGauge gauge;
    gauge.SetMaxValue(0);  // equal to the minimum is allowed
    EXPECT_EQ(gauge.Text(), "0%");
}

}  // namespace
}  // namespace velor
