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
    // Dropping DTR on a line that hung up fails; the port lets go of the vanished device all the
    // same. On the port's own thread, which serves the event thread's last deliveries.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_NO_THROW(rig.port.ClosePort());
    EXPECT_FALSE(rig.port.Opened());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "ClosePort hung";
}

TEST(PortWaits, AnOperationAfterTheDeviceVanishedEnds) {
    Rig rig({});
    rig.host.realSleep = false;
    rig.session.ButtonConectClick();
    rig.devsim.Kill();
    // The pty is gone: the next operation lets go of it, cannot open it again, and says so. It
    // runs on the port's own thread, which serves the event thread's last deliveries.
    const auto start = std::chrono::steady_clock::now();
    bool raised = false;
    try {
        rig.session.ButtonConectClick();
    } catch (const EComPort&) {
        raised = true;
    }
    EXPECT_TRUE(raised);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s) << "Detect hung";
}

}  // namespace
}  // namespace velor::testing
