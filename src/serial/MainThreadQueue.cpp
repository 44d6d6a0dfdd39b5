#include "serial/MainThreadQueue.h"

#include <exception>
#include <memory>
#include <stdexcept>

#include "serial/DescribeException.h"

namespace velor {
namespace {

// One hand-over's outcome, passed back to the waiting thread under a lock. The waiter takes the
// exception out, so only the waiting thread ever holds it afterwards.
class Handover {
  public:
    void Finish(intptr_t result, std::exception_ptr error = nullptr) {
        {
            std::lock_guard lock(m_mutex);
            if (m_done)
                return;
            m_done = true;
            m_result = result;
            m_error = std::move(error);
        }
        m_finished.notify_all();
    }
    // Waits for Finish; raises the step's exception again here.
    intptr_t Await() {
        std::exception_ptr error;
        intptr_t result = 0;
        {
            std::unique_lock lock(m_mutex);
            m_finished.wait(lock, [this] { return m_done; });
            error = std::move(m_error);
            m_error = nullptr;
            result = m_result;
        }
        if (error)
            std::rethrow_exception(std::move(error));
        return result;
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_finished;
    bool m_done = false;
    intptr_t m_result = 0;
    std::exception_ptr m_error;
};

// The sender's side of a message: released by the first Reply, or when the procedure returns.
class PendingReply final : public IMessageReply {
  public:
    explicit PendingReply(std::shared_ptr<Handover> handover) : m_handover(std::move(handover)) {}
    void Reply(intptr_t result) override { m_handover->Finish(result); }

  private:
    std::shared_ptr<Handover> m_handover;
};

}  // namespace

TMainThreadQueue::TMainThreadQueue() : m_mainThread(std::this_thread::get_id()) {}

void TMainThreadQueue::Enqueue(std::function<void()> task) {
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    m_changed.notify_all();
    if (m_wakeUp) {
        m_wakeUp();
    }
}

void TMainThreadQueue::Synchronize(const std::function<void()>& step) {
    if (IsMainThread()) {
        step();
        return;
    }
    auto handover = std::make_shared<Handover>();
    Enqueue([&step, handover] {
        std::exception_ptr error;
        try {
            step();
        } catch (...) {
            error = std::current_exception();
        }
        // Handed over only once this thread has left its handler and holds no reference.
        handover->Finish(0, std::move(error));
    });
    handover->Await();
}

intptr_t TMainThreadQueue::SendToWindow(const TNotifyWindow& window,
                                        const TWindowMessage& message) {
    if (IsMainThread()) {
        return window.Dispatch(message, nullptr);
    }
    auto handover = std::make_shared<Handover>();
    Enqueue([this, &window, message, handover] {
        PendingReply reply(handover);
        intptr_t r = 0;
        try {
            r = window.Dispatch(message, &reply);
        } catch (...) {
            // A window procedure's exception stays on the main thread, as an error box.
            ReportError(DescribeCurrentException());
        }
        handover->Finish(r);  // no effect after an early reply
    });
    return handover->Await();
}

void TMainThreadQueue::ServePending() {
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard lock(m_mutex);
            if (m_tasks.empty()) {
                return;
            }
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
        }
        task();
    }
}

void TMainThreadQueue::ServeUntil(const std::function<bool()>& done) {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return !m_tasks.empty() || done(); });
            if (m_tasks.empty()) {
                return;
            }
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
        }
        task();
    }
}

void TMainThreadQueue::Wake() {
    // Taking the lock orders the waker's change before the waiter's next test.
    { std::lock_guard lock(m_mutex); }
    m_changed.notify_all();
}

void TMainThreadQueue::ReportError(const std::string& message) {
    if (m_report) {
        m_report(message);
    }
}

std::size_t TMainThreadQueue::PendingCount() const {
    std::lock_guard lock(m_mutex);
    return m_tasks.size();
}

}  // namespace velor
