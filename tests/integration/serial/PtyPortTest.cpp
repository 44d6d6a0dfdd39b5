// The port on real pseudo-terminals: what reaches the device, and exclusive access.
#include <asm/termbits.h>
#include <gtest/gtest.h>

#include "PtyPair.h"
#include "serial/TBComPort.h"

namespace velor {
namespace {

using testing::PtyPair;

std::string MessageOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const EComPort& e) {
        return e.what();
    }
    return "";
}

TEST(PtyPort, RatesIncludingNonStandardOnesReachTheDevice) {
    PtyPair pty;
    TBComPort port;
    port.SetPort(pty.SlavePath());
    const TBaudRate rates[] = {TBaudRate::br110,    TBaudRate::br14400,  TBaudRate::br56000,
                               TBaudRate::br115200, TBaudRate::br128000, TBaudRate::br256000};
    for (TBaudRate rate : rates) {
        port.SetBaudRate(rate);
        port.OpenPort();
        ASSERT_TRUE(port.Opened());
        EXPECT_EQ(pty.SlaveSpeed(), BaudRateValue(rate));
        port.ClosePort();
        ASSERT_TRUE(!port.Opened());
    }
}

TEST(PtyPort, ChangesWhileOpenApplyAtOnce) {
    PtyPair pty;
    TBComPort port;
    port.SetPort(pty.SlavePath());
    port.OpenPort();
    ASSERT_TRUE(port.Opened());
    EXPECT_EQ(pty.SlaveSpeed(), 9600u);
    EXPECT_EQ(pty.SlaveCflag() & CSTOPB, 0u);
    EXPECT_EQ(pty.SlaveLflag() & (ICANON | ECHO), 0u) << "raw mode";
    port.SetBaudRate(TBaudRate::br57600);
    port.SetStopBits(TStopBits::sb2);
    EXPECT_EQ(pty.SlaveSpeed(), 57600u);
    EXPECT_NE(pty.SlaveCflag() & CSTOPB, 0u);
}

TEST(PtyPort, OneAndAHalfStopBitsNeedFiveDataBits) {
    PtyPair pty;
    TBComPort port;
    port.SetPort(pty.SlavePath());
    port.SetStopBits(TStopBits::sb1_5);
    EXPECT_EQ(MessageOf([&] { port.OpenPort(); }), ComMessageText(TComMessage::SetCommStateFailed));
    EXPECT_FALSE(port.Opened());
}

TEST(PtyPort, SecondOpenOfTheSamePathIsRefusedUntilTheFirstCloses) {
    PtyPair pty;
    TBComPort first;
    TBComPort second;
    first.SetPort(pty.SlavePath());
    second.SetPort(pty.SlavePath());
    first.OpenPort();
    ASSERT_TRUE(first.Opened());
    EXPECT_EQ(MessageOf([&] { second.OpenPort(); }), ComMessageText(TComMessage::PortBusy));
    EXPECT_FALSE(second.Opened());
    EXPECT_EQ(first.WriteText("still mine"), 10);
    first.ClosePort();
    ASSERT_TRUE(!first.Opened());
    second.OpenPort();
    EXPECT_TRUE(second.Opened());
}

TEST(PtyPort, MissingDeviceIsRefusedAndThePortKeepsItsName) {
    TBComPort port;
    const std::string missing = "/dev/velor-no-such-port";
    port.SetPort(missing);
    EXPECT_EQ(MessageOf([&] { port.OpenPort(); }), ComMessageText(TComMessage::NonexistentPort));
    EXPECT_FALSE(port.Opened());
    EXPECT_EQ(port.Port(), missing);
    port.SetPort("velor-no-such-port");  // a bare name is looked for below /dev
    EXPECT_EQ(MessageOf([&] { port.OpenPort(); }), ComMessageText(TComMessage::NonexistentPort));
}

TEST(PtyPort, BareNamesAreFoundBelowDev) {
    PtyPair pty;
    ASSERT_EQ(pty.SlavePath().rfind("/dev/", 0), 0u);
    TBComPort port;
    port.SetPort(pty.SlavePath().substr(5));  // "pts/N"
    port.OpenPort();
    ASSERT_TRUE(port.Opened());
    pty.Send("x");
    std::string s;
    port.Timeouts().SetReadTotalConstant(50);
    EXPECT_EQ(port.ReadText(s, 1), 1);
}

TEST(PtyPort, ADeviceWithoutModemLinesStillOpensAndCloses) {
    PtyPair pty;
    TBComPort port;
    port.SetPort(pty.SlavePath());
    port.OpenPort();
    ASSERT_TRUE(port.Opened());
    EXPECT_NO_THROW(port.SetDtrLine(true));
    EXPECT_NO_THROW(port.SetRtsLine(true));
    EXPECT_TRUE(port.ModemLines().Empty());
    port.ClosePort();
    EXPECT_TRUE(!port.Opened());
    EXPECT_FALSE(port.Opened());
}

TEST(PtyPort, QueuedInputCountCountsRawBytes) {
    PtyPair pty;
    TBComPort port;
    port.SetPort(pty.SlavePath());
    port.OpenPort();
    ASSERT_TRUE(port.Opened());
    pty.Send("no line end");
    // The bytes cross the pty asynchronously.
    for (int i = 0; i < 100 && port.QueuedInputCount() < 11; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(port.QueuedInputCount(), 11);
}

}  // namespace
}  // namespace velor
