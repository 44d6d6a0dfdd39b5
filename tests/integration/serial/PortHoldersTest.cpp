// Which process holds a port, read from /proc as the busy-port hint does.
#include "serial/PortHolders.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace velor {
namespace {

TEST(PortHolders, FindsTheProcessThatHasThePortOpen) {
    int master = -1, slave = -1;
    char name[256];
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    std::string comm;
    std::getline(std::ifstream("/proc/self/comm"), comm);

    const auto holders = FindPortHolders(name);
    bool found = false;
    for (const auto& holder : holders) {
        if (holder.Pid == getpid()) {
            found = true;
            EXPECT_EQ(holder.Program, comm);
        }
    }
    EXPECT_TRUE(found) << name;
    close(slave);
    close(master);
    for (const auto& holder : FindPortHolders(name))
        EXPECT_NE(holder.Pid, getpid());
    EXPECT_TRUE(FindPortHolders("/dev/velor-no-such-port").empty());
}

TEST(PortHolders, OtherHoldersLeaveThisProcessOutAndMatchTheDeviceNotItsName) {
    int master = -1, slave = -1;
    char name[256];
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    for (const auto& holder : FindOtherHolders(name))
        EXPECT_NE(holder.Pid, getpid());

    // A proc tree of our own: the device reached through a link of another name, a process
    // whose name carries control bytes, one that holds other files, entries that are no process.
    namespace fs = std::filesystem;
    const fs::path root =
        fs::path(::testing::TempDir()) / ("velor-proc-" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "4242" / "fd");
    fs::create_directories(root / "77" / "fd");
    fs::create_directories(root / "self" / "fd");
    fs::create_directories(root / "99");  // no fd folder: not ours to look into
    const fs::path alias = root / "alias";
    fs::create_symlink(name, alias);
    fs::create_symlink("/dev/null", root / "4242" / "fd" / "0");
    fs::create_symlink(name, root / "4242" / "fd" / "5");
    fs::create_symlink(name, root / "self" / "fd" / "5");
    fs::create_symlink("/dev/null", root / "77" / "fd" / "1");
    std::ofstream(root / "4242" / "comm") << "evil\x1b[2J" << std::string(200, 'x') << "\n";

    const auto holders = FindOtherHolders(alias.string(), root.string());
    ASSERT_EQ(holders.size(), 1u);
    EXPECT_EQ(holders[0].Pid, 4242);
    // Read as it is, bounded; the terminal escapes it where it shows it.
    EXPECT_EQ(holders[0].Program.rfind("evil\x1b[2J", 0), 0u);
    EXPECT_LE(holders[0].Program.size(), 64u);
    EXPECT_TRUE(FindOtherHolders((root / "4242" / "comm").string(), root.string()).empty());
    fs::remove_all(root);
    close(slave);
    close(master);
}

}  // namespace
}  // namespace velor
