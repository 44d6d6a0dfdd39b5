// Transfers on real pseudo-terminals, under the timeout rules the protocol relies on.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "PtyPair.h"
#include "serial/TBComPort.h"

namespace velor {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::PtyPair;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The main window's port: every timeout 1 ms.
class PtyTransfers : public ::testing::Test {
  protected:
    void SetUp() override {
        port.SetPort(pty.SlavePath());
        port.SetTimeouts(TComTimeouts::Uniform(1));
        port.OpenPort();
        ASSERT_TRUE(port.Opened());
    }
    // Waits until the port sees n bytes queued.
    void AwaitQueued(int n) {
        for (int i = 0; i < 200 && port.QueuedInputCount() < n; ++i)
            std::this_thread::sleep_for(1ms);
        ASSERT_EQ(port.QueuedInputCount(), n);
    }
    PtyPair pty;
    TBComPort port;
};

TEST_F(PtyTransfers, SilentDeviceEndsTheReadByTheTotalLimit) {
    std::string reply = "stale";
    const auto start = Clock::now();
    EXPECT_EQ(port.ReadText(reply, 40), 0);
    const double ms = MsSince(start);
    EXPECT_TRUE(reply.empty());
    EXPECT_GE(ms, 40.5);
    EXPECT_LT(ms, 70.0);
}

TEST_F(PtyTransfers, QueuedReplyEndsByTheIntervalLimit) {
    pty.Send("0123456789");
    AwaitQueued(10);
    std::string reply;
    const auto start = Clock::now();
    EXPECT_EQ(port.ReadText(reply, 40), 10);
    EXPECT_LT(MsSince(start), 30.0);
    EXPECT_EQ(reply, "0123456789");
}

TEST_F(PtyTransfers, AllBitsMultiplierOnALongReadMeansNoTotalLimit) {
    // -1 reaches the device as all bits set; times 4096 it once wrapped the deadline into the
    // past and the read ended at once, before the device answered.
    TComTimeouts t;
    t.SetReadInterval(20);
    t.SetReadTotalMultiplier(-1);
    t.SetReadTotalConstant(0);
    port.SetTimeouts(t);
    std::thread device([&] {
        std::this_thread::sleep_for(30ms);
        pty.Send("abc");
    });
    std::string reply;
    EXPECT_EQ(port.ReadText(reply, 4096), 3);
    EXPECT_EQ(reply, "abc");
    device.join();
}

TEST_F(PtyTransfers, GapAfterTheFirstBytesEndsTheRead) {
    // The device stays silent after "abc" until the read has ended, however long that takes.
    std::promise<void> readEnded;
    std::thread device([&, ended = readEnded.get_future()] {
        pty.Send("abc");
        ended.wait();
        pty.Send("def");
    });
    std::string reply;
    EXPECT_EQ(port.ReadText(reply, 40), 3);
    EXPECT_EQ(reply, "abc");
    readEnded.set_value();
    device.join();
    EXPECT_EQ(port.ReadText(reply, 40), 3) << "later bytes wait for the next read";
    EXPECT_EQ(reply, "def");
}

TEST_F(PtyTransfers, FullCountEndsTheReadAndLeavesTheRestQueued) {
    pty.Send("ABCDEFGH");
    AwaitQueued(8);
    std::string reply;
    EXPECT_EQ(port.ReadText(reply, 5), 5);
    EXPECT_EQ(reply, "ABCDE");
    EXPECT_EQ(port.QueuedInputCount(), 3);
}

TEST_F(PtyTransfers, NulBytesArriveWhole) {
    const std::string bytes(
        "\x00"
        "A\x00\x00"
        "B\xFF\x00",
        7);
    pty.Send(bytes);
    AwaitQueued(7);
    std::string reply;
    EXPECT_EQ(port.ReadText(reply, 20), 7);
    EXPECT_EQ(reply, bytes);

    const std::string frame = bytes + ":0A1B\r\n";  // no CR/NL translation on the way
    EXPECT_EQ(port.WriteText(frame), static_cast<int32_t>(frame.size()));
    EXPECT_EQ(pty.Receive(frame.size(), 200ms), frame);
    EXPECT_EQ(port.WriteText(""), 0);
    EXPECT_EQ(pty.Receive(1, 20ms), "");
}

TEST_F(PtyTransfers, NothingAskedForReturnsAtOnce) {
    pty.Send("xyz");
    AwaitQueued(3);
    std::string reply = "old";
    for (int32_t count : {0, -5}) {
        const auto start = Clock::now();
        EXPECT_EQ(port.ReadText(reply, count), 0);
        EXPECT_TRUE(reply.empty());
        EXPECT_LT(MsSince(start), 20.0);
    }
    EXPECT_EQ(port.QueuedInputCount(), 3) << "nothing was taken from the queue";
}

TEST_F(PtyTransfers, ConstructorTimeoutsReturnAtOnceWithWhatIsQueued) {
    TComTimeouts immediate;  // -1, 0, 0
    port.SetTimeouts(immediate);
    std::string reply;
    auto start = Clock::now();
    EXPECT_EQ(port.ReadText(reply, 40), 0);
    EXPECT_LT(MsSince(start), 20.0);

    pty.Send("12345");
    AwaitQueued(5);
    start = Clock::now();
    EXPECT_EQ(port.ReadText(reply, 40), 5);
    EXPECT_LT(MsSince(start), 20.0);
    EXPECT_EQ(reply, "12345");
}

TEST_F(PtyTransfers, VanishedDeviceFailsTheReadInsteadOfHanging) {
    TComTimeouts noLimit;
    noLimit.SetReadInterval(0);
    port.SetTimeouts(noLimit);
    std::thread device([&] {
        std::this_thread::sleep_for(10ms);
        pty.CloseMaster();
    });
    std::string reply;
    std::string message;
    try {
        port.ReadText(reply, 5);
    } catch (const EComPort& e) {
        message = e.what();
    }
    device.join();
    EXPECT_EQ(message, ComMessageText(TComMessage::ReadFailed));
    EXPECT_TRUE(port.Opened()) << "closing is the caller's business";
}

}  // namespace
}  // namespace velor
