#pragma once
// Hands a session's typed events to the C callback, and keeps what the outcome needs. An
// exception from the callback never passes into the session: it asks the write to stop.

#include <atomic>
#include <string>

#include "protocol/SessionEvents.h"
#include "velor/velor.h"

namespace velor::lib {

class SessionEventsBridge : public ISessionEvents {
  public:
    SessionEventsBridge(velor_event_fn callback, void* user, std::atomic<bool>& stop)
        : m_callback(callback), m_user(user), m_stop(stop) {}

    void OnStarted(const OperationStarted& e) override;
    void OnIdentified(const DeviceIdentified& e) override;
    void OnAttempt(const FlashAttemptEvent& e) override;
    void OnCalibration(const CalibrationChanged& e) override;
    void OnProgress(const WriteProgressEvent& e) override;
    void OnEnded(const OperationEnded& e) override;

    bool Identified() const { return m_identified; }
    const DeviceIdentified& Device() const { return m_device; }
    bool Ended() const { return m_ended; }
    const OperationEnded& End() const { return m_end; }

  private:
    void Call(velor_event& event);

    velor_event_fn m_callback;
    void* m_user;
    std::atomic<bool>& m_stop;
    bool m_identified = false;
    DeviceIdentified m_device;
    bool m_ended = false;
    OperationEnded m_end;
};

// The C interface's codes of the core's words.
int KindCode(OutcomeKind kind);
int ReasonCode(OutcomeReason reason);

}  // namespace velor::lib
