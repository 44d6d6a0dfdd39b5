#pragma once
// The device operations of the main window on one port: Detect, Write, and the stop and reset
// keys. The window, velor-flash and the tests all drive the device through this class.
//
// Exceptions (EComPort, EConvertError, ERangeError) leave these operations to the caller's
// handler wrapper. No device operation starts inside another: while form.Activity is not Idle,
// ButtonConectClick, ButtonWriteClick and ResetKey return without doing anything.

#include <functional>
#include <memory>

#include "app/Host.h"
#include "app/MainWindowModel.h"
#include "firmware/FirmwareImage.h"
#include "protocol/DeviceContext.h"
#include "protocol/DeviceInfo.h"
#include "protocol/DeviceLink.h"
#include "protocol/Flashing.h"
#include "protocol/PortSetup.h"
#include "protocol/ProtocolBuffers.h"
#include "protocol/SessionEvents.h"
#include "protocol/StopRequest.h"
#include "serial/TBComPort.h"

namespace velor {

// How the last operation of a session ended, for front ends that report it (exit codes).
enum class SessionOutcome {
    None,     // nothing ran to an end (not started, refused as nested, or an exception left it)
    Done,     // detected, written or reset
    Refused,  // a gate of identification or of the release said no; a reset nothing answered
    Failed,   // the failure rule condemned the write
    Stopped,  // the stop key ended the write
};

// The kind of an operation's end event for an outcome; None (an exception left it) is Error.
OutcomeKind OutcomeKindOf(SessionOutcome outcome);
// Why a port error ended an operation: busy, no permission, no serial port, missing, lost.
OutcomeReason PortErrorReason(const EComPort& e);

class DeviceSession {
  public:
    // All four live longer than the session. `image` is the window's current firmware image; a
    // write uses the one current when it starts.
    DeviceSession(MainWindowModel& form, IHost& host, TBComPort& port,
                  std::shared_ptr<const FirmwareImage>& image);
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    void ButtonConectClick();  // Detect
    void ButtonWriteClick();   // Write
    void StopKey();            // Ctrl+Delete: acts only while the gauge's Progress != 0
    void ResetKey();           // Ctrl+L

    // Where a front end asks this session's Detect and Write to stop before their next command
    // (velor-flash's Ctrl+C); the window leaves it unset and has only the stop key.
    void SetStopRequest(std::function<bool()> probe) { m_stop.SetProbe(std::move(probe)); }

    const DeviceInfo& Info() const { return m_info; }
    const ProtocolBuffers& Buffers() const { return m_buffers; }
    SessionOutcome LastOutcome() const { return m_outcome; }
    // The counters of the last write (all 0 until its writing began).
    const FlashState& LastFlash() const { return m_flash; }

    // Where listeners of this session's typed events are added; events come on this thread.
    SessionEventFanOut& Events() { return m_events; }

  private:
    // Runs one operation between its start and end events; an exception is told as the end
    // and passes on to the caller's handler.
    template <typename Operation>
    void Run(SessionOperation operation, Operation&& body);
    OperationEnded EndOf(SessionOperation operation) const;

    MainWindowModel& m_form;
    IHost& m_host;
    TBComPort& m_port;
    std::shared_ptr<const FirmwareImage>& m_image;
    ProtocolBuffers m_buffers;
    DeviceInfo m_info;
    DeviceLink m_link;
    StopRequest m_stop;
    SessionEventFanOut m_events;
    OutcomeNote m_note;
    DeviceContext m_context;
    SessionOutcome m_outcome = SessionOutcome::None;
    FlashState m_flash;
};

}  // namespace velor
