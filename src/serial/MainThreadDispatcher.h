#pragma once
// How a port's event thread reaches the main thread, without a windowing toolkit: a synchronised
// call, and a message sent to a hidden window whose procedure runs on the main thread. The main
// thread serves both when it processes its events, and while it waits for an event thread to end.

#include <cstdint>
#include <functional>
#include <string>

namespace velor {

struct TWindowMessage {
    uint32_t Msg = 0;
    uintptr_t WParam = 0;
    intptr_t LParam = 0;
};

// Handed to a window procedure for a message sent from another thread: Reply lets the sender go
// on at once while the procedure continues. A later Reply, or the procedure's end, does nothing.
class IMessageReply {
  public:
    virtual ~IMessageReply() = default;
    virtual void Reply(intptr_t result) = 0;
};

// reply is null when the message came from the main thread itself.
using TWindowProc = std::function<intptr_t(const TWindowMessage& message, IMessageReply* reply)>;

// A hidden window owned by the main thread: just its procedure.
class TNotifyWindow {
  public:
    explicit TNotifyWindow(TWindowProc procedure) : m_procedure(std::move(procedure)) {}
    intptr_t Dispatch(const TWindowMessage& message, IMessageReply* reply) const {
        return m_procedure(message, reply);
    }

  private:
    TWindowProc m_procedure;
};

class IMainThreadDispatcher {
  public:
    virtual ~IMainThreadDispatcher() = default;

    // Runs step on the main thread the next time it serves hand-overs and waits until it has run;
    // an exception of the step is raised again here. On the main thread: runs step at once.
    virtual void Synchronize(const std::function<void()>& step) = 0;
    // Runs the window's procedure on the main thread and returns its reply (or its result).
    virtual intptr_t SendToWindow(const TNotifyWindow& window, const TWindowMessage& message) = 0;
    // Main thread: runs every hand-over that is pending.
    virtual void ServePending() = 0;
    // Main thread: serves hand-overs until done() holds; whoever makes it hold calls Wake.
    virtual void ServeUntil(const std::function<bool()>& done) = 0;
    // Any thread: wakes ServeUntil to test its condition again.
    virtual void Wake() = 0;
    virtual bool IsMainThread() const = 0;
    // Main thread: the application's report of an exception that ended a step (an error box).
    virtual void ReportError(const std::string& message) = 0;
};

}  // namespace velor
