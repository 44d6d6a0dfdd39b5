// Devices that come and go under the port: a hang-up while the port is open, and a folder of
// terminal links watched for the port list.
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>

#include <filesystem>

#include "PtyPair.h"
#include "serial/PortWatch.h"
#include "serial/TBComPort.h"

namespace velor::testing {
namespace {

namespace fs = std::filesystem;

TEST(PortHangUp, APortWhoseDeviceHungUpClosesAndReachesTheNextDevice) {
    TBComPort port;
    {
        PtyPair first;
        port.SetPort(first.SlavePath());
        port.OpenPort();
        first.CloseMaster();
        EXPECT_NO_THROW(port.ClosePort()) << "the close of a vanished device";
        EXPECT_FALSE(port.Opened());
    }
    PtyPair second;
    port.SetPort(second.SlavePath());
    port.OpenPort();
    EXPECT_EQ(port.WriteText("g0202;"), 6);
    EXPECT_EQ(second.Receive(6, std::chrono::seconds(2)), "g0202;");
    EXPECT_NO_THROW(port.ClosePort());
}

bool Readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 2000) == 1;
}

TEST(PortWatch, TellsWhenALinkAppearsOrLeavesTheFolder) {
    char pattern[] = "/tmp/velor-watch-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path folder = pattern;
    {
        PortWatch watch({folder.string(), (folder / "missing").string()});
        ASSERT_GE(watch.Descriptor(), 0);
        EXPECT_FALSE(watch.TakeChanges());
        fs::create_symlink("/dev/null", folder / "kalmira");
        ASSERT_TRUE(Readable(watch.Descriptor()));
        EXPECT_TRUE(watch.TakeChanges());
        EXPECT_FALSE(watch.TakeChanges()) << "every change taken at once";
        fs::remove(folder / "kalmira");
        ASSERT_TRUE(Readable(watch.Descriptor()));
        EXPECT_TRUE(watch.TakeChanges());
    }
    PortWatch nothing({(folder / "missing").string()});
    EXPECT_EQ(nothing.Descriptor(), -1);
    EXPECT_FALSE(nothing.TakeChanges());
    fs::remove_all(folder);
}

}  // namespace
}  // namespace velor::testing
