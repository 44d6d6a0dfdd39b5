// Low latency asked of the driver while the port is open, given back at the close, refused
// quietly by a driver that has no such setting.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "serial/platform/LowLatency.h"

namespace velor::posix {
namespace {

// A driver's serial settings and the calls made on them.
struct FakeDriver {
    int flags = 0;
    bool refuses = false;  // a pseudo-terminal: ENOTTY
    std::vector<std::string> calls;

    SerialIoctl Ioctl() {
        return [this](int, unsigned long request, serial_struct& info) {
            const bool get = request == TIOCGSERIAL;
            calls.push_back(std::string(get ? "get " : "set ") +
                            ((get ? flags : info.flags) & ASYNC_LOW_LATENCY ? "low" : "normal"));
            if (refuses) {
                errno = ENOTTY;
                return -1;
            }
            if (get) {
                info.flags = flags;
            } else {
                flags = info.flags;
            }
            return 0;
        };
    }
};

TEST(LowLatency, AskedWhileOpenAndRestoredAtTheClose) {
    FakeDriver driver;
    driver.flags = ASYNC_SKIP_TEST;  // other flags survive both steps
    LowLatencyRequest request(driver.Ioctl());
    EXPECT_TRUE(request.Ask(3));
    EXPECT_EQ(driver.flags, ASYNC_SKIP_TEST | ASYNC_LOW_LATENCY);
    request.Restore(3);
    EXPECT_EQ(driver.flags, ASYNC_SKIP_TEST);
    EXPECT_EQ(driver.calls,
              (std::vector<std::string>{"get normal", "set low", "get low", "set normal"}));
    request.Restore(3);
    EXPECT_EQ(driver.calls.size(), 4u) << "restored once";
}

TEST(LowLatency, ADriverAlreadyLowKeepsItsSettingAtTheClose) {
    FakeDriver driver;
    driver.flags = ASYNC_LOW_LATENCY;
    LowLatencyRequest request(driver.Ioctl());
    EXPECT_TRUE(request.Ask(3));
    request.Restore(3);
    EXPECT_EQ(driver.flags, ASYNC_LOW_LATENCY);
    EXPECT_EQ(driver.calls, (std::vector<std::string>{"get low"}));
}

TEST(LowLatency, ADriverWithoutSerialSettingsRefusesQuietly) {
    FakeDriver driver;
    driver.refuses = true;
    LowLatencyRequest request(driver.Ioctl());
    EXPECT_FALSE(request.Ask(3));
    request.Restore(3);
    EXPECT_EQ(driver.calls, (std::vector<std::string>{"get normal"}));

    // A real pseudo-terminal, through the system's own call.
    int master = -1, slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    LowLatencyRequest onPty;
    EXPECT_FALSE(onPty.Ask(slave));
    onPty.Restore(slave);
    EXPECT_EQ(::write(slave, "x", 1), 1) << "the terminal still works";
    close(slave);
    close(master);
}

}  // namespace
}  // namespace velor::posix
