#include <gtest/gtest.h>

#include "serial/platform/PosixTermios.h"

namespace velor::posix {
namespace {

// A terminal in its cooked default state, as a fresh tty has it.
struct termios2 CookedTerminal() {
    struct termios2 t {};
    t.c_iflag = ICRNL | IXON | IXANY | IMAXBEL | BRKINT;
    t.c_oflag = OPOST | ONLCR;
    t.c_lflag = ICANON | ECHO | ECHOE | ECHOK | ISIG | IEXTEN;
    t.c_cflag = B9600 | CS7 | PARENB | CRTSCTS | HUPCL;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 5;
    return t;
}

struct termios2 Mapped(TBaudRate rate, TByteSize size, TParity parity, TStopBits stop) {
    struct termios2 t = CookedTerminal();
    EXPECT_TRUE(DcbToTermios(BuildLineSettingsBlock(rate, size, parity, stop), t));
    return t;
}

TEST(TermiosMapping, EveryRateGoesThroughBotherBothWays) {
    for (uint8_t ordinal = 0; ordinal < 15; ++ordinal) {
        const auto rate = static_cast<TBaudRate>(ordinal);
        const auto t = Mapped(rate, TByteSize::bs8, TParity::paNone, TStopBits::sb1);
        EXPECT_EQ(t.c_cflag & CBAUD, static_cast<tcflag_t>(BOTHER));
        EXPECT_EQ(t.c_cflag & CIBAUD, 0u) << "input speed must follow output";
        EXPECT_EQ(t.c_ospeed, BaudRateValue(rate));
        EXPECT_EQ(t.c_ispeed, BaudRateValue(rate));
    }
}

TEST(TermiosMapping, DataBits) {
    const std::pair<TByteSize, tcflag_t> rows[] = {
        {TByteSize::bs5, CS5}, {TByteSize::bs6, CS6}, {TByteSize::bs7, CS7}, {TByteSize::bs8, CS8}};
    for (const auto& [size, cs] : rows) {
        const auto t = Mapped(TBaudRate::br9600, size, TParity::paNone, TStopBits::sb1);
        EXPECT_EQ(t.c_cflag & CSIZE, cs);
    }
}

TEST(TermiosMapping, ParityIncludingMarkAndSpace) {
    struct Row {
        TParity parity;
        tcflag_t cflags;  // of PARENB | PARODD | CMSPAR
        bool checking;
    };
    const Row rows[] = {
        {TParity::paNone, 0, false},
        {TParity::paOdd, PARENB | PARODD, true},
        {TParity::paEven, PARENB, true},
        {TParity::paMark, PARENB | PARODD | CMSPAR, true},
        {TParity::paSpace, PARENB | CMSPAR, true},
    };
    for (const Row& r : rows) {
        const auto t = Mapped(TBaudRate::br9600, TByteSize::bs8, r.parity, TStopBits::sb1);
        EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), r.cflags) << int(r.parity);
        EXPECT_EQ((t.c_iflag & INPCK) != 0, r.checking) << int(r.parity);
        EXPECT_EQ(t.c_iflag & (IGNPAR | PARMRK), 0u) << "no replacement of bad characters";
    }
}

TEST(TermiosMapping, StopBitsAsAUartGivesThem) {
    struct Row {
        TByteSize size;
        TStopBits stop;
        bool accepted;
        bool cstopb;
    };
    const Row rows[] = {
        {TByteSize::bs8, TStopBits::sb1, true, false},
        {TByteSize::bs8, TStopBits::sb2, true, true},
        {TByteSize::bs5, TStopBits::sb1_5, true, true},
        {TByteSize::bs5, TStopBits::sb1, true, false},
        {TByteSize::bs6, TStopBits::sb1_5, false, false},
        {TByteSize::bs8, TStopBits::sb1_5, false, false},
        {TByteSize::bs5, TStopBits::sb2, false, false},
    };
    for (const Row& r : rows) {
        struct termios2 t = CookedTerminal();
        const struct termios2 before = t;
        const bool ok = DcbToTermios(
            BuildLineSettingsBlock(TBaudRate::br9600, r.size, TParity::paNone, r.stop), t);
        EXPECT_EQ(ok, r.accepted) << int(r.size) << "/" << int(r.stop);
        if (ok) {
            EXPECT_EQ((t.c_cflag & CSTOPB) != 0, r.cstopb);
        } else {
            EXPECT_EQ(t.c_cflag, before.c_cflag) << "a refused block leaves the terminal alone";
        }
    }
}

TEST(TermiosMapping, RawModeWithoutFlowControl) {
    const auto t = Mapped(TBaudRate::br115200, TByteSize::bs8, TParity::paNone, TStopBits::sb1);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ECHOE | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | IXON | IXOFF | IXANY | BRKINT), 0u);
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
    EXPECT_NE(t.c_cflag & CREAD, 0u);
    EXPECT_NE(t.c_cflag & CLOCAL, 0u);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);
}

TEST(DevicePath, AbsolutePathsStandOthersGoBelowDev) {
    const std::pair<const char*, const char*> rows[] = {
        {"ttyUSB0", "/dev/ttyUSB0"}, {"/dev/pts/7", "/dev/pts/7"}, {"/tmp/link", "/tmp/link"},
        {"pts/3", "/dev/pts/3"},     {"COM2", "/dev/COM2"},
    };
    for (const auto& [name, path] : rows) {
        EXPECT_EQ(DevicePath(name), path);
    }
}

}  // namespace
}  // namespace velor::posix
