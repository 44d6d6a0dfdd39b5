// The Win32 backend on two real COM ports joined end to end (under Wine: two pseudo-terminals
// joined by socat, see scripts/test-windows.sh): transfers that end by their time-outs, the
// event thread's WaitCommEvent, and transfers refused when no completion event can be made.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "serial/TBComPort.h"
#include "serial/platform/Win32Backend.h"

namespace velor {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::string PortFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string MessageOf(TComMessage number) {
    return ComMessageText(number);
}

class Win32Port : public ::testing::Test {
  protected:
    void SetUp() override {
        nameA = PortFromEnvironment("VELOR_WINE_PORT_A");
        nameB = PortFromEnvironment("VELOR_WINE_PORT_B");
        if (nameA.empty() || nameB.empty()) {
            GTEST_SKIP() << "needs two joined COM ports in VELOR_WINE_PORT_A and VELOR_WINE_PORT_B "
                            "(scripts/test-windows.sh maps them)";
        }
    }

    // Opens port with the main window's timeouts (every value 1 ms).
    static void Open(TBComPort& port, const std::string& name) {
        port.SetPort(name);
        port.SetBaudRate(TBaudRate::br115200);
        port.SetSyncMethod(TSyncMethod::smNone);
        port.SetTimeouts(TComTimeouts::Uniform(1));
        port.OpenPort();
        ASSERT_TRUE(port.Opened());
    }

    std::string nameA, nameB;
};

TEST_F(Win32Port, ReadThatTimesOutReturnsWhatArrived) {
    TBComPort a, b;
    Open(a, nameA);
    Open(b, nameB);

    // Nothing on the line: the read ends by its time-outs with no bytes, not with message 4.
    std::string text;
    EXPECT_EQ(a.ReadText(text, 20), 0);
    EXPECT_EQ(text, "");

    // Fewer bytes than asked: the read ends by the interval rule with exactly those.
    EXPECT_EQ(b.WriteText("ABC"), 3);
    const auto end = Clock::now() + 2s;
    std::string got;
    while (got.size() < 3 && Clock::now() < end) {
        a.ReadText(text, 20);
        got += text;
    }
    EXPECT_EQ(got, "ABC");

    // A longer total window that passes with nothing arriving also ends cleanly.
    a.Timeouts().SetReadTotalConstant(30);
    EXPECT_EQ(a.ReadText(text, 20), 0);
}

TEST_F(Win32Port, WritesAWholeFrameThroughTheOtherPort) {
    TBComPort a, b;
    Open(a, nameA);
    Open(b, nameB);
    std::string frame;
    for (int i = 0; i < 300; ++i)
        frame += static_cast<char>('0' + i % 10);
    EXPECT_EQ(a.WriteText(frame), 300);

    std::string got, text;
    const auto end = Clock::now() + 3s;
    while (got.size() < frame.size() && Clock::now() < end) {
        b.ReadText(text, 512);
        got += text;
    }
    EXPECT_EQ(got, frame);
}

TEST_F(Win32Port, EventThreadReportsCharactersAndEndsPromptlyOnClose) {
    // Characters written at once after the open can come before the event thread's first wait
    // (under Wine, before its fall-back watch begins): each round must still report them.
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TBComPort a, b;
        std::atomic<int> reports{0};
        std::atomic<int> lastCount{0};
        a.OnRxChar = [&](TBComPort&, int32_t count) {
            lastCount.store(count);
            reports.fetch_add(1);
        };
        Open(a, nameA);
        Open(b, nameB);

        b.WriteText("XYZ");
        const auto end = Clock::now() + 3s;
        while (reports.load() == 0 && Clock::now() < end)
            std::this_thread::sleep_for(1ms);
        EXPECT_GT(reports.load(), 0) << "WaitCommEvent reported no received characters";
        EXPECT_GT(lastCount.load(), 0);

        // The thread waits in WaitCommEvent; closing must end that wait, not hang on it.
        const auto start = Clock::now();
        a.ClosePort();
        EXPECT_TRUE(!a.Opened());
        EXPECT_LT(Clock::now() - start, 1s);
        EXPECT_EQ(a.EventThread(), nullptr);
    }
}

TEST_F(Win32Port, NoCompletionEventRefusesTheTransfer) {
    TBComPort a(MakeWin32Backend([]() -> void* { return nullptr; }));
    TBComPort b;
    Open(a, nameA);
    Open(b, nameB);
    // Long enough that a read wrongly started here would still be pending below.
    a.Timeouts().SetReadTotalConstant(2000);
    std::string text;
    try {
        a.ReadText(text, 20);
        ADD_FAILURE() << "a read without a completion event went ahead";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.what(), MessageOf(TComMessage::ReadFailed));
    }
    try {
        a.WriteText("AB");
        ADD_FAILURE() << "a write without a completion event went ahead";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.what(), MessageOf(TComMessage::WriteFailed));
    }
    // No request reached the device: what arrives stays queued, no abandoned read takes it.
    b.WriteText("XYZ");
    const auto end = Clock::now() + 1s;
    while (a.QueuedInputCount() < 3 && Clock::now() < end)
        std::this_thread::sleep_for(1ms);
    EXPECT_EQ(a.QueuedInputCount(), 3);
}

TEST_F(Win32Port, VirtualPortHasNoModemLines) {
    TBComPort a;
    Open(a, nameA);
    // A pseudo-terminal answers ERROR_NOT_SUPPORTED: no lines, and setting them is no failure.
    EXPECT_TRUE(a.ModemLines().Empty());
    EXPECT_NO_THROW(a.SetDtrLine(true));
    EXPECT_NO_THROW(a.SetRtsLine(false));
}

TEST_F(Win32Port, HeldPortIsBusy) {
    TBComPort a, again;
    Open(a, nameA);
    again.SetPort(nameA);
    try {
        again.OpenPort();
        ADD_FAILURE() << "a held port opened twice";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.what(), MessageOf(TComMessage::PortBusy));
    }
}

}  // namespace
}  // namespace velor
