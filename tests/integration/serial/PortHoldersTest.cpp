// Which process holds a port, read from /proc as the busy-port hint does.
#include "serial/PortHolders.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

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

}  // namespace
}  // namespace velor
