#pragma once
// The worker thread of an open port: waits for the device's line events and hands them to the
// port's notifications by the port's SyncMethod. The port owns it; it never frees itself.

#include <atomic>
#include <memory>
#include <thread>

#include "serial/ComEvents.h"
#include "serial/SerialBackend.h"

namespace velor {

class TBComPort;

class TComThread {
  public:
    // Asks the device for the port's watched events; the thread runs when this returns.
    explicit TComThread(TBComPort& owner);
    // Stops the thread and waits until it has ended. On the main thread the wait keeps serving
    // hand-overs, so a delivery under way completes first.
    ~TComThread();
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;

    void RequestStop();
    bool Ended() const { return m_ended.load(); }

    // The events of the wait that completed last; read only while the thread waits for the
    // delivery (smThreadSync) or on the thread itself.
    TPortEvents OccurredEvents() const { return m_occurredEvents; }
    // The port's notification steps for OccurredEvents, errors first.
    void DeliverEvents();
    // One PortEventMessage per member of OccurredEvents, to the port's hidden window.
    void SendEventsToWindow();

  private:
    void Execute();

    TBComPort& m_ownerPort;
    std::unique_ptr<IEventWait> m_stopEvent;  // the wait with its stop signal
    TPortEvents m_occurredEvents;
    std::atomic<bool> m_ended{false};
    std::thread m_thread;
};

}  // namespace velor
