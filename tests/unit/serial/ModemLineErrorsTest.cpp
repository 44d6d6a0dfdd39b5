// Which modem-line refusals of a Linux device are "no modem lines" and which are failures.
#include <gtest/gtest.h>

#include <cerrno>

#include "serial/platform/ModemLineErrors.h"

namespace velor::posix {
namespace {

TEST(ModemLineErrors, EnottyFromAnyDeviceMeansNoLines) {
    EXPECT_TRUE(NoModemLinesAnswer(ENOTTY, false));
    EXPECT_TRUE(NoModemLinesAnswer(ENOTTY, true));
}

TEST(ModemLineErrors, EinvalMeansNoLinesOnlyFromUsbSerial) {
    EXPECT_TRUE(NoModemLinesAnswer(EINVAL, IsUsbSerialNode("/dev/ttyUSB0")));
    EXPECT_FALSE(NoModemLinesAnswer(EINVAL, IsUsbSerialNode("/dev/ttyS0")));
    EXPECT_FALSE(NoModemLinesAnswer(EINVAL, IsUsbSerialNode("/dev/pts/3")));
    EXPECT_FALSE(NoModemLinesAnswer(EINVAL, IsUsbSerialNode("/dev/ttyACM0")));
}

TEST(ModemLineErrors, OtherErrorsAreFailures) {
    for (const int error : {EIO, EBADF, ENODEV, EPERM, 0}) {
        EXPECT_FALSE(NoModemLinesAnswer(error, true)) << error;
        EXPECT_FALSE(NoModemLinesAnswer(error, false)) << error;
    }
}

TEST(ModemLineErrors, UsbSerialNodesByName) {
    EXPECT_TRUE(IsUsbSerialNode("/dev/ttyUSB12"));
    EXPECT_TRUE(IsUsbSerialNode("ttyUSB0"));
    EXPECT_FALSE(IsUsbSerialNode("/dev/usb/ttyS1"));
    EXPECT_FALSE(IsUsbSerialNode("/dev/ttyUSB0/x"));
    EXPECT_FALSE(IsUsbSerialNode(""));
}

}  // namespace
}  // namespace velor::posix
