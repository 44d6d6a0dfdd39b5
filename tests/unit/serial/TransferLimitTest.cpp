#include <gtest/gtest.h>

#include "serial/TransferLimit.h"

namespace velor {
namespace {

TDeviceTimeouts AllOne() {
    return {1, 1, 1, 1, 1};
}

TEST(TransferLimit, AWindowsPortWithOneMillisecondTimeoutsIsBoundedByItsCount) {
    // The window's port: 1 ms a byte plus 1 ms, then the margin for a loaded PC.
    EXPECT_EQ(TransferLimitMs(AllOne(), true, 1024, 115200), 1025 + kStuckTransferMarginMs);
    EXPECT_EQ(TransferLimitMs(AllOne(), false, 40, 115200), 41 + kStuckTransferMarginMs);
}

TEST(TransferLimit, AWriteWithoutTimeoutsIsBoundedByItsLineTime) {
    const TDeviceTimeouts none;
    // 1100 bytes at 9600 baud take about 1.26 s on the line.
    EXPECT_EQ(TransferLimitMs(none, false, 1100, 9600), 1261 + kStuckTransferMarginMs);
    EXPECT_EQ(TransferLimitMs(none, false, 11, 0), 1100 + kStuckTransferMarginMs);
}

TEST(TransferLimit, OnlyAReadAskedToWaitForItsBytesIsUnbounded) {
    const TDeviceTimeouts none;
    EXPECT_EQ(TransferLimitMs(none, true, 10, 115200), kNoTransferLimit);
    TDeviceTimeouts atOnce;
    atOnce.ReadIntervalTimeout = kMaxTimeout;
    EXPECT_EQ(TransferLimitMs(atOnce, true, 10, 115200), kStuckTransferMarginMs);
    TDeviceTimeouts huge = AllOne();
    huge.ReadTotalTimeoutMultiplier = 0x80000000u;
    EXPECT_EQ(TransferLimitMs(huge, true, 0xFFFFFFFFu, 115200), kNoTransferLimit - 1);
}

}  // namespace
}  // namespace velor
