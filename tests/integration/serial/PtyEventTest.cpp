// The event thread on real pseudo-terminals: received characters reach OnRxChar on the main
// thread, transfers keep every byte, and stopping empties both queues.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "PtyPair.h"
#include "serial/MainThreadQueue.h"
#include "serial/TBComPort.h"
#include "serial/TComThread.h"

namespace velor {
namespace {

using namespace std::chrono_literals;
using testing::PtyPair;

class PtyEvents : public ::testing::Test {
  protected:
    void SetUp() override {
        port.SetPort(pty.SlavePath());
        port.SetDispatcher(queue);
        port.SetTimeouts(TComTimeouts::Uniform(1));
    }
    // Serves the queue, as an event loop would, until cond holds; false after two seconds.
    template <typename Cond>
    bool Serve(Cond cond) {
        const auto end = std::chrono::steady_clock::now() + 2s;
        while (!cond()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            queue.ServePending();
            std::this_thread::sleep_for(200us);
        }
        return true;
    }

    TMainThreadQueue queue;
    PtyPair pty;
    TBComPort port;
};

TEST_F(PtyEvents, BytesFromTheDeviceRaiseRxCharOnTheMainThread) {
    std::vector<int32_t> counts;
    std::vector<std::thread::id> threads;
    port.OnRxChar = [&](TBComPort&, int32_t count) {
        counts.push_back(count);
        threads.push_back(std::this_thread::get_id());
    };
    port.OpenPort();
    ASSERT_TRUE(port.Opened());
    std::this_thread::sleep_for(5ms);
    queue.ServePending();
    EXPECT_TRUE(counts.empty()) << "no event before any byte";
    pty.Send("HELLO");
    ASSERT_TRUE(Serve([&] { return !counts.empty(); }));
    EXPECT_EQ(counts.front(), 5);
    EXPECT_EQ(threads.front(), std::this_thread::get_id());
}

TEST_F(PtyEvents, TransfersKeepEveryByteWhileTheThreadRuns) {
    int32_t events = 0;
    port.OnRxChar = [&](TBComPort&, int32_t) { ++events; };
    port.OpenPort();
    ASSERT_TRUE(port.Opened());
    std::string reply;
    for (int round = 0; round < 40; ++round) {
        const std::string frame = ":0" + std::to_string(round) + "AABBCCDDEEFF00112233\r\n";
        EXPECT_EQ(port.WriteText(frame), static_cast<int32_t>(frame.size()));
        EXPECT_EQ(pty.Receive(frame.size(), 500ms), frame);
        const std::string answer = "OK" + std::to_string(round) + std::string(18, 'x');
        pty.Send(answer);
        std::this_thread::sleep_for(2ms);  // the reply is queued before the read starts
        EXPECT_EQ(port.ReadText(reply, 40), static_cast<int32_t>(answer.size())) << round;
        EXPECT_EQ(reply, answer);
        queue.ServePending();  // the flasher's fixed point: deliveries run, the queue is empty
    }
    EXPECT_FALSE(port.EventThread()->Ended());
}

TEST_F(PtyEvents, TransmitEmptyFollowsAWrite) {
    std::atomic<int> empties{0};
    port.SetSyncMethod(TSyncMethod::smNone);
    port.OnTxEmpty = [&](TBComPort&) { ++empties; };
    port.OpenPort();
    ASSERT_TRUE(port.Opened());
    EXPECT_EQ(port.WriteText("ping"), 4);
    EXPECT_EQ(pty.Receive(4, 500ms), "ping");
    ASSERT_TRUE(Serve([&] { return empties.load() > 0; }));
}

TEST_F(PtyEvents, StoppingTheThreadEmptiesBothQueues) {
    port.OpenPort();
    ASSERT_TRUE(port.Opened());
    pty.Send("left unread");
    ASSERT_TRUE(Serve([&] { return port.QueuedInputCount() == 11; }));
    port.ClosePort();
    ASSERT_TRUE(!port.Opened());
    port.OpenPort();
    ASSERT_TRUE(port.Opened());
    EXPECT_EQ(port.QueuedInputCount(), 0);
}

TEST_F(PtyEvents, CloseCompletesWhileADeliveryWaitsForTheMainThread) {
    int delivered = 0;
    port.OnRxChar = [&](TBComPort&, int32_t) { ++delivered; };
    port.OpenPort();
    ASSERT_TRUE(port.Opened());
    pty.Send("x");
    const auto end = std::chrono::steady_clock::now() + 2s;
    while (queue.PendingCount() == 0 && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(200us);
    }
    ASSERT_EQ(queue.PendingCount(), 1u);
    port.ClosePort();
    EXPECT_TRUE(!port.Opened());
    EXPECT_EQ(delivered, 1);
    EXPECT_EQ(queue.PendingCount(), 0u);
}

}  // namespace
}  // namespace velor
