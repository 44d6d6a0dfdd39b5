// The event thread on the scriptable backend: delivery order, the three delivery methods, and
// stopping while a delivery waits for the main thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "FakePort.h"
#include "serial/MainThreadQueue.h"
#include "serial/TComThread.h"

namespace velor {
namespace {

using namespace std::chrono_literals;
using testing::FakePort;
using testing::MessageOf;
using testing::Text;

// Serves the queue until cond holds; false after two seconds.
template <typename Cond>
bool ServeUntilTrue(TMainThreadQueue& queue, Cond cond) {
    const auto end = std::chrono::steady_clock::now() + 2s;
    while (!cond()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        queue.ServePending();
        std::this_thread::sleep_for(100us);
    }
    return true;
}

// Records every SendToWindow on its way to the real queue.
class RecordingDispatcher : public IMainThreadDispatcher {
  public:
    void Synchronize(const std::function<void()>& step) override { queue.Synchronize(step); }
    intptr_t SendToWindow(const TNotifyWindow& window, const TWindowMessage& message) override {
        {
            std::lock_guard lock(mutex);
            sent.push_back(message);
        }
        return queue.SendToWindow(window, message);
    }
    void ServePending() override { queue.ServePending(); }
    void ServeUntil(const std::function<bool()>& done) override { queue.ServeUntil(done); }
    void Wake() override { queue.Wake(); }
    bool IsMainThread() const override { return queue.IsMainThread(); }
    void ReportError(const std::string& message) override { errors.push_back(message); }

    TMainThreadQueue queue;
    std::mutex mutex;
    std::vector<TWindowMessage> sent;
    std::vector<std::string> errors;  // main thread only
};

class EventThread : public ::testing::Test {
  protected:
    void Open(TSyncMethod method) {
        f.port.SetSyncMethod(method);
        f.port.SetDispatcher(dispatcher);
        f.port.OpenPort();
        ASSERT_TRUE(f.port.Opened());
    }
    void Record(const std::string& what) {
        std::lock_guard lock(mutex);
        log.push_back(what);
        threads.push_back(std::this_thread::get_id());
    }
    std::size_t Logged() {
        std::lock_guard lock(mutex);
        return log.size();
    }
    void RecordEverything() {
        auto& p = f.port;
        p.OnRxChar = [this](TBComPort&, int32_t n) { Record("RxChar " + std::to_string(n)); };
        p.OnTxEmpty = [this](TBComPort&) { Record("TxEmpty"); };
        p.OnRing = [this](TBComPort&) { Record("Ring"); };
        p.OnCTSChange = [this](TBComPort&, bool on) { Record(on ? "CTS on" : "CTS off"); };
        p.OnDSRChange = [this](TBComPort&, bool on) { Record(on ? "DSR on" : "DSR off"); };
        p.OnRLSDChange = [this](TBComPort&, bool on) { Record(on ? "RLSD on" : "RLSD off"); };
        p.OnError = [this](TBComPort&, TComErrors e) {
            Record("Error " + std::to_string(e.Bits()));
        };
        p.OnRx80Full = [this](TBComPort&) { Record("Rx80Full"); };
    }

    // Declared first, destroyed last: the port's event thread uses all of them until it ends.
    RecordingDispatcher dispatcher;
    std::mutex mutex;
    std::vector<std::string> log;
    std::vector<std::thread::id> threads;
    FakePort f;
};

TEST(PortEvents, MaskConversions) {
    EXPECT_EQ(EventSetToMask(kAllPortEvents), 1469u);
    EXPECT_EQ(EventSetToMask({}), 0u);
    const std::pair<TPortEvent, uint32_t> rows[] = {
        {TPortEvent::peRxChar, 1},  {TPortEvent::peTxEmpty, 4},     {TPortEvent::peRing, 256},
        {TPortEvent::peCTS, 8},     {TPortEvent::peDSR, 16},        {TPortEvent::peRLSD, 32},
        {TPortEvent::peError, 128}, {TPortEvent::peRx80Full, 1024},
    };
    for (const auto& [event, code] : rows) {
        EXPECT_EQ(EventSetToMask({event}), code);
        EXPECT_EQ(MaskToEventSet(code), TPortEvents{event});
    }
    EXPECT_TRUE(MaskToEventSet(kEvRxFlag | kEvBreak | 0x200 | 0x800 | 0x80000000u).Empty());
    EXPECT_EQ(MaskToEventSet(kEvRxChar | kEvErr | kEvBreak),
              (TPortEvents{TPortEvent::peRxChar, TPortEvent::peError}));
}

TEST_F(EventThread, DeliversErrorFirstThenTheRestInOrder) {
    RecordEverything();
    Open(TSyncMethod::smNone);
    f.state->Input = "abc";
    f.state->ErrorFlags = kCeFrame;
    f.state->ModemStatus = kMsCtsOn | kMsRlsdOn;
    f.state->PushEvent(kEvRx80Full | kEvRlsd | kEvDsr | kEvCts | kEvRing | kEvTxEmpty | kEvRxChar |
                       kEvErr);
    ASSERT_TRUE(ServeUntilTrue(dispatcher.queue, [&] { return Logged() == 8; }));
    EXPECT_EQ(log, (std::vector<std::string>{"Error 1", "RxChar 3", "TxEmpty", "Ring", "CTS on",
                                             "DSR off", "RLSD on", "Rx80Full"}));
    for (auto id : threads)
        EXPECT_NE(id, std::this_thread::get_id()) << "smNone: on the thread";
}

TEST_F(EventThread, ThreadSyncRunsHandlersOnTheMainThreadWhenItServes) {
    RecordEverything();
    Open(TSyncMethod::smThreadSync);
    f.state->Input = "12345";
    f.state->PushEvent(kEvRxChar);
    const auto end = std::chrono::steady_clock::now() + 2s;
    while (dispatcher.queue.PendingCount() == 0 && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(100us);
    }
    ASSERT_EQ(dispatcher.queue.PendingCount(), 1u);
    EXPECT_EQ(Logged(), 0u) << "nothing runs until the main thread serves";
    dispatcher.ServePending();
    ASSERT_EQ(log, (std::vector<std::string>{"RxChar 5"}));
    EXPECT_EQ(threads[0], std::this_thread::get_id());
}

TEST_F(EventThread, ReceivedCharacterReadsTheCountButAnEmptyQueueCallsNoHandler) {
    Open(TSyncMethod::smThreadSync);
    f.state->PushEvent(kEvRxChar);  // no handler assigned
    ASSERT_TRUE(ServeUntilTrue(dispatcher.queue, [&] {
        std::lock_guard lock(f.state->Mutex);
        return std::count(f.state->Calls.begin(), f.state->Calls.end(), "ClearCommError") == 1;
    }));
    f.port.ClosePort();
    ASSERT_TRUE(!f.port.Opened());

    RecordEverything();
    Open(TSyncMethod::smThreadSync);
    f.state->PushEvent(kEvRxChar);  // the input queue is empty
    f.state->PushEvent(kEvRing);
    ASSERT_TRUE(ServeUntilTrue(dispatcher.queue, [&] { return Logged() == 1; }));
    EXPECT_EQ(log, (std::vector<std::string>{"Ring"}));
}

TEST_F(EventThread, WindowSyncSendsOneMessagePerEventAndRunsThemOnTheMainThread) {
    RecordEverything();
    Open(TSyncMethod::smWindowSync);
    ASSERT_NE(f.port.NotifyWindow(), nullptr);
    f.state->ModemStatus = kMsRlsdOn;
    f.state->PushEvent(kEvRlsd | kEvRing);
    ASSERT_TRUE(ServeUntilTrue(dispatcher.queue, [&] { return Logged() == 2; }));
    EXPECT_EQ(log, (std::vector<std::string>{"Ring", "RLSD on"}));
    for (auto id : threads)
        EXPECT_EQ(id, std::this_thread::get_id());
    {
        std::lock_guard lock(dispatcher.mutex);
        ASSERT_EQ(dispatcher.sent.size(), 2u);
        EXPECT_EQ(dispatcher.sent[0].Msg, 1025u);
        EXPECT_EQ(dispatcher.sent[0].WParam, kEvRing);
        EXPECT_EQ(dispatcher.sent[1].WParam, kEvRlsd);
        EXPECT_EQ(dispatcher.sent[1].LParam, 0);
    }
    f.port.ClosePort();
    ASSERT_TRUE(!f.port.Opened());
    EXPECT_EQ(f.port.NotifyWindow(), nullptr);
}

TEST_F(EventThread, WindowSyncShowsAHandlersErrorAndGoesOn) {
    f.port.OnRing = [](TBComPort&) { throw EComPort(TComMessage::ModemStatusFailed); };
    f.port.OnTxEmpty = [this](TBComPort&) { Record("TxEmpty"); };
    Open(TSyncMethod::smWindowSync);
    f.state->PushEvent(kEvRing);
    f.state->PushEvent(kEvTxEmpty);
    ASSERT_TRUE(ServeUntilTrue(dispatcher.queue, [&] { return Logged() == 1; }));
    EXPECT_EQ(dispatcher.errors, (std::vector<std::string>{Text(TComMessage::ModemStatusFailed)}));
    EXPECT_FALSE(f.port.EventThread()->Ended());
    f.port.ClosePort();
    EXPECT_TRUE(!f.port.Opened());
}

TEST_F(EventThread, ThreadSyncHandlerErrorEndsTheThreadSilentlyAndCloseStillWorks) {
    std::atomic<int> rings{0};
    f.port.OnRing = [&](TBComPort&) {
        ++rings;
        throw EComPort(TComMessage::ClearCommErrorFailed);
    };
    Open(TSyncMethod::smThreadSync);
    f.state->PushEvent(kEvRing);
    ASSERT_TRUE(ServeUntilTrue(dispatcher.queue, [&] { return f.port.EventThread()->Ended(); }));
    f.state->PushEvent(kEvRing);
    std::this_thread::sleep_for(5ms);
    dispatcher.ServePending();
    EXPECT_EQ(rings.load(), 1) << "no delivery after the thread ended";
    EXPECT_TRUE(dispatcher.errors.empty()) << "nothing reports the exception";
    EXPECT_TRUE(f.port.Opened());
    f.port.ClosePort();
    EXPECT_TRUE(!f.port.Opened());
    EXPECT_FALSE(f.port.Opened());
}

TEST_F(EventThread, CloseWhileADeliveryWaitsForTheMainThreadCompletesIt) {
    RecordEverything();
    Open(TSyncMethod::smThreadSync);
    f.state->PushEvent(kEvTxEmpty);
    const auto end = std::chrono::steady_clock::now() + 2s;
    while (dispatcher.queue.PendingCount() == 0 && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(100us);
    }
    ASSERT_EQ(dispatcher.queue.PendingCount(), 1u) << "the thread waits for the main thread";
    f.port.ClosePort();
    EXPECT_TRUE(!f.port.Opened());
    EXPECT_EQ(log, (std::vector<std::string>{"TxEmpty"})) << "the delivery ran during the wait";
    EXPECT_EQ(f.port.EventThread(), nullptr);
    std::lock_guard lock(f.state->Mutex);
    EXPECT_EQ(f.state->Calls.back(), "Close");
}

TEST_F(EventThread, FailedWaitDeliversNothingAndWaitsAgain) {
    RecordEverything();
    Open(TSyncMethod::smNone);
    f.state->PushEvent(kEvRing, IEventWait::Result::OccurredFailed);
    f.state->PushEvent(kEvTxEmpty);
    ASSERT_TRUE(ServeUntilTrue(dispatcher.queue, [&] { return Logged() == 1; }));
    EXPECT_EQ(log, (std::vector<std::string>{"TxEmpty"}));
}

TEST_F(EventThread, EndingPurgesBothQueuesAndClearsTheMask) {
    Open(TSyncMethod::smThreadSync);
    f.state->Input = "left over";
    f.state->PushEvent(0, IEventWait::Result::WaitFailed);  // the device refused the wait
    ASSERT_TRUE(ServeUntilTrue(dispatcher.queue, [&] { return f.port.EventThread()->Ended(); }));
    std::lock_guard lock(f.state->Mutex);
    const auto& calls = f.state->Calls;
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "SetCommMask 0");
    EXPECT_EQ(calls.back(), "PurgeComm 12");
    EXPECT_TRUE(f.state->Input.empty());
}

TEST(NotifySteps, ErrorFlagsBecomeComErrors) {
    struct Row {
        uint32_t flags;
        TParity parity;
        TComErrors reported;  // empty: no call
    };
    using E = TComError;
    const Row rows[] = {
        {kCeFrame, TParity::paNone, {E::ceFrame}},
        {kCeRxParity, TParity::paNone, {}},
        {kCeRxParity, TParity::paEven, {E::ceRxParity}},
        {kCeRxParity | kCeOverrun, TParity::paNone, {E::ceOverrun}},
        {kCePto, TParity::paNone, {}},
        {kCeRxOver | kCeTxFull | kCeBreak | kCeIoe | kCeMode,
         TParity::paOdd,
         {E::ceRxOver, E::ceTxFull, E::ceBreak, E::ceIO, E::ceMode}},
        {0, TParity::paNone, {}},
    };
    for (const Row& r : rows) {
        FakePort f;
        f.port.SetParity(r.parity);
        int calls = 0;
        TComErrors got;
        f.port.OnError = [&](TBComPort&, TComErrors e) {
            ++calls;
            got = e;
        };
        f.port.OpenPort();
        ASSERT_TRUE(f.port.Opened());
        f.state->ErrorFlags = r.flags;
        f.port.NotifyError();
        EXPECT_EQ(calls, r.reported.Empty() ? 0 : 1) << r.flags;
        EXPECT_EQ(got, r.reported) << r.flags;
        EXPECT_EQ(f.state->ErrorFlags, 0u) << "every flag is cleared";
    }
}

TEST(NotifySteps, ErrorFlagsAreClearedWithoutAHandlerAndAFailureRaises) {
    FakePort f;
    f.port.OpenPort();
    ASSERT_TRUE(f.port.Opened());
    f.state->ErrorFlags = kCeFrame;
    f.port.NotifyError();
    EXPECT_EQ(f.state->ErrorFlags, 0u);
    f.Fail(fake::Op::ClearCommError);
    EXPECT_EQ(MessageOf([&] { f.port.NotifyError(); }), Text(TComMessage::ClearCommErrorFailed));
    EXPECT_EQ(MessageOf([&] { f.port.NotifyRxChar(); }), Text(TComMessage::ClearCommErrorFailed));
}

TEST(NotifySteps, ModemLinesAreReadOnlyForAHandler) {
    FakePort f;
    f.port.OpenPort();
    ASSERT_TRUE(f.port.Opened());
    f.ClearLog();
    f.port.NotifyCTSChange();
    f.port.NotifyDSRChange();
    f.port.NotifyRLSDChange();
    EXPECT_TRUE(f.state->Calls.empty());
    std::vector<bool> states;
    f.port.OnDSRChange = [&](TBComPort&, bool on) { states.push_back(on); };
    f.state->ModemStatus = kMsDsrOn;
    f.port.NotifyDSRChange();
    f.state->ModemStatus = kMsCtsOn;
    f.port.NotifyDSRChange();
    EXPECT_EQ(states, (std::vector<bool>{true, false}));
    f.Fail(fake::Op::GetCommModemStatus);
    EXPECT_EQ(MessageOf([&] { f.port.NotifyDSRChange(); }), Text(TComMessage::ModemStatusFailed));
}

class RecordingReply : public IMessageReply {
  public:
    void Reply(intptr_t result) override { replies.push_back(result); }
    std::vector<intptr_t> replies;
};

TEST(NotifySteps, WindowProcedureRepliesAtOnceAndIgnoresOtherMessages) {
    FakePort f;
    int rings = 0;
    f.port.OnRing = [&](TBComPort&) { ++rings; };
    f.port.OnTxEmpty = [&](TBComPort& sender) { EXPECT_EQ(&sender, &f.port); };
    RecordingReply reply;
    EXPECT_EQ(f.port.NotifyWindowProc({kPortEventMessage, kEvRing, 0}, &reply), 0);
    EXPECT_EQ(rings, 0) << "a closed port runs no step";
    f.port.OpenPort();
    ASSERT_TRUE(f.port.Opened());
    f.port.NotifyWindowProc({kPortEventMessage, kEvRing, 0}, &reply);
    f.port.NotifyWindowProc({kPortEventMessage, kEvRing, 0}, nullptr);
    f.port.NotifyWindowProc({kPortEventMessage, kEvBreak, 0}, nullptr);
    f.port.NotifyWindowProc({kPortEventMessage + 1, kEvRing, 0}, nullptr);
    EXPECT_EQ(rings, 2);
    EXPECT_EQ(reply.replies, (std::vector<intptr_t>{0, 0}));
}

TEST(MainThreadQueue, SynchronizeRunsOnTheMainThreadAndRaisesInTheCaller) {
    TMainThreadQueue queue;
    std::thread::id ranOn;
    std::string caught;
    std::thread worker([&] {
        queue.Synchronize([&] { ranOn = std::this_thread::get_id(); });
        try {
            queue.Synchronize([] { throw EComPort(TComMessage::ReadFailed); });
        } catch (const EComPort& e) {
            caught = e.what();
        }
    });
    std::atomic<bool> done{false};
    std::thread watcher([&] {
        worker.join();
        done = true;
        queue.Wake();
    });
    queue.ServeUntil([&] { return done.load(); });
    watcher.join();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_EQ(caught, Text(TComMessage::ReadFailed));

    bool inline_ = false;
    queue.Synchronize([&] { inline_ = true; });
    EXPECT_TRUE(inline_) << "on the main thread the step runs at once";
}

TEST(MainThreadQueue, AnEarlyReplyReleasesTheSenderWhileTheProcedureRuns) {
    TMainThreadQueue queue;
    std::atomic<bool> senderReturned{false};
    bool procedureSawReturn = false;
    TNotifyWindow window([&](const TWindowMessage& m, IMessageReply* reply) -> intptr_t {
        EXPECT_NE(reply, nullptr);
        reply->Reply(static_cast<intptr_t>(m.WParam) + 1);
        // The sender goes on now; wait for it, which would hang without the early reply.
        const auto end = std::chrono::steady_clock::now() + 2s;
        while (!senderReturned && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(100us);
        }
        procedureSawReturn = senderReturned;
        return 99;
    });
    intptr_t result = 0;
    std::thread sender([&] {
        result = queue.SendToWindow(window, {kPortEventMessage, 41, 0});
        senderReturned = true;
    });
    ASSERT_TRUE(ServeUntilTrue(queue, [&] { return senderReturned.load(); }));
    sender.join();
    EXPECT_EQ(result, 42);
    EXPECT_TRUE(procedureSawReturn);
}

}  // namespace
}  // namespace velor
