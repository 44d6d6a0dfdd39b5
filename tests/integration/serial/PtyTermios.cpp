// The kernel's termios2 cannot share a file with <termios.h>, which <pty.h> brings.
#include <asm/termbits.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include "PtyPair.h"

namespace velor::testing {

namespace {
struct termios2 SlaveTermios(int slave) {
    struct termios2 t {};
    EXPECT_EQ(ioctl(slave, TCGETS2, &t), 0);
    return t;
}
}  // namespace

unsigned PtyPair::SlaveSpeed() const {
    return SlaveTermios(m_slave).c_ospeed;
}
unsigned PtyPair::SlaveCflag() const {
    return SlaveTermios(m_slave).c_cflag;
}
unsigned PtyPair::SlaveLflag() const {
    return SlaveTermios(m_slave).c_lflag;
}

}  // namespace velor::testing
