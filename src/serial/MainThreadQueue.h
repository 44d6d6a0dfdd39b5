#pragma once
// The main-thread dispatcher without a toolkit: hand-overs wait in a queue until the main thread
// (the thread that created the queue) calls ServePending, or waits in ServeUntil.
//
// A front end owns one, hands it to its ports (TBComPort::SetDispatcher) and calls ServePending
// whenever it processes its events. SetWakeUp lets an event loop learn, from the worker thread,
// that something waits; SetErrorReport shows the error box of a failed window notification.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "serial/MainThreadDispatcher.h"

namespace velor {

class TMainThreadQueue final : public IMainThreadDispatcher {
  public:
    TMainThreadQueue();

    // Both are called as given: wakeUp on the worker thread right after queueing (it must be
    // thread-safe and must not run the hand-over itself), report on the main thread. Set them
    // before any port opens.
    void SetWakeUp(std::function<void()> wakeUp) { m_wakeUp = std::move(wakeUp); }
    void SetErrorReport(std::function<void(const std::string&)> report) {
        m_report = std::move(report);
    }

    void Synchronize(const std::function<void()>& step) override;
    intptr_t SendToWindow(const TNotifyWindow& window, const TWindowMessage& message) override;
    void ServePending() override;
    void ServeUntil(const std::function<bool()>& done) override;
    void Wake() override;
    bool IsMainThread() const override { return std::this_thread::get_id() == m_mainThread; }
    void ReportError(const std::string& message) override;

    // Hand-overs waiting to be served.
    std::size_t PendingCount() const;

  private:
    void Enqueue(std::function<void()> task);

    const std::thread::id m_mainThread;
    std::function<void()> m_wakeUp;
    std::function<void(const std::string&)> m_report;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_tasks;
};

}  // namespace velor
