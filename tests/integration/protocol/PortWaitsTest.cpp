// Closing the port and the next operation end, also after the line has vanished under them.
#include <gtest/gtest.h>

#include <future>

#include "Rig.h"

namespace velor::testing {
namespace {

using namespace std::chrono_literals;

TEST(PortWaits, ClosingAfterTheDeviceVanishedEnds) {
    Rig rig({});
    rig.host.realSleep = false;
    rig.session.ButtonConectClick();  // a successful Detect leaves the port open
    ASSERT_TRUE(rig.port.Opened());
    rig.devsim.Kill();
    std::this_thread::sleep_for(50ms);  // the event thread meets the hang-up
    // Dropping DTR on a line that hung up fails, and the port then stays open with its thread
    // running, as the port component does for any failure there; what matters here is the end.
    auto closing = std::async(std::launch::async, [&] {
        try {
            rig.port.ClosePort();
            return true;  // closed
        } catch (const EComPort&) {
            return false;
        }
    });
    ASSERT_EQ(closing.wait_for(5s), std::future_status::ready) << "ClosePort hung";
    EXPECT_EQ(closing.get(), !rig.port.Opened()) << "closed exactly when ClosePort did not raise";
}

TEST(PortWaits, AnOperationAfterTheDeviceVanishedEnds) {
    Rig rig({});
    rig.host.realSleep = false;
    rig.session.ButtonConectClick();
    rig.devsim.Kill();
    // The pty is gone: the next operation cannot open it, and says so.
    auto detecting = std::async(std::launch::async, [&] {
        try {
            rig.session.ButtonConectClick();
        } catch (const EComPort&) {
            return true;
        }
        return false;
    });
    ASSERT_EQ(detecting.wait_for(10s), std::future_status::ready) << "Detect hung";
    EXPECT_TRUE(detecting.get());
}

}  // namespace
}  // namespace velor::testing
