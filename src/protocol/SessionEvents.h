#pragma once
// What a device session tells its listeners, as typed facts beside the window model it writes:
// every figure a front end reports (progress, attempts, calibration, the outcome) comes from
// here, never from a display text. Events arrive on the session's own thread, in order.

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/ReleaseGate.h"

namespace velor {

enum class SessionOperation { Detect, Write, Reset };

struct OperationStarted {
    SessionOperation Operation = SessionOperation::Detect;
    std::string Port;
    uint32_t Baud = 0;  // bits per second
};

struct DeviceIdentified {
    std::string BootloaderVersion;
    int64_t Pages = 0;
    int64_t BlocksPerPage = 0;
    int64_t BlockSize = 0;
    std::string Description;  // UTF-8, as MemoAbout shows it
};

enum class AttemptCommand { Erase, Write, Program };
enum class AttemptVerdict { Accepted, Refused, NoReply };

// One try of a flashing command.
struct FlashAttemptEvent {
    AttemptCommand Command = AttemptCommand::Erase;
    int64_t Page = 0;   // 0-based
    int64_t Block = 0;  // 1-based within the page; 0 for an erase
    AttemptVerdict Verdict = AttemptVerdict::Accepted;
    int DelayMs = 0;      // the wait between the frame and the read
    std::string Frame;    // as sent
    std::string Reply;    // as read (empty: no reply)
    std::string LogWord;  // the word the window's attempt log puts before the frame
};

// The three delays after a failed attempt lengthened one of them.
struct CalibrationChanged {
    int EraseDelay = 0;
    int WriteDelay = 0;
    int ProgramDelay = 0;
    int64_t FailedAttempts = 0;  // of the whole write so far
};

// Where a write stands, over the whole write: one formula for every front end.
struct WriteProgressEvent {
    int64_t PagesDone = 0;
    int64_t Pages = 0;
    int64_t BlocksDone = 0;  // of the page being written
    int64_t BlocksPerPage = 0;
    int64_t Bytes = 0;  // written and programmed so far
    int64_t BytesTotal = 0;

    int Percent() const { return BytesTotal > 0 ? static_cast<int>(Bytes * 100 / BytesTotal) : 0; }
};

// How an operation ended.
enum class OutcomeKind {
    Done,       // detected, written or reset
    Refused,    // a gate of identification or of the release said no
    Failed,     // the failure rule condemned the write
    Stopped,    // the stop key or a stop request
    PortError,  // EComPort left the operation
    Error,      // another error of the system left it (a conversion, a range)
};

// Why, more finely: what a script can branch on.
enum class OutcomeReason {
    Done,
    NoReply,            // no device identified
    UnknownBootloader,  // a bootloader of another version answered
    SameRelease,
    NewerRelease,
    UnknownRelease,      // the description names no release
    GarbledDescription,  // a signing device's description never came whole: no release judged
    NoImage,             // no image at all
    ImageTooSmall,       // an image smaller than the device
    BadFirmware,         // the firmware text failed its checks or could not be read
    FailureRule,
    StopKey,      // the window's stop key
    StopRequest,  // a stop asked for from outside (Ctrl+C)
    PortBusy,
    Permission,      // the port may not be opened by this user
    NotASerialPort,  // it opened but takes no serial settings
    PortMissing,
    PortLost,  // any other port error
    OtherError,
};

struct OperationEnded {
    SessionOperation Operation = SessionOperation::Detect;
    OutcomeKind Kind = OutcomeKind::Done;
    OutcomeReason Reason = OutcomeReason::Done;
    // The message that states the outcome, as the window shows it (UTF-8, CR LF), and the line
    // of it that names the result (the same text where the message is one statement).
    std::string Message;
    std::string Headline;
    int PortMessage = 0;          // the port error's message number (1..15); 0 for no port error
    int OsError = 0;              // the system's error code of a port error, where it gave one
    WriteProgressEvent Progress;  // a write's last progress (all 0 for another operation)
    CalibrationChanged Calibration;
};

// What listens to a session. Every method has an empty default: a listener takes what it needs.
class ISessionEvents {
  public:
    virtual ~ISessionEvents() = default;
    virtual void OnStarted(const OperationStarted&) {}
    virtual void OnIdentified(const DeviceIdentified&) {}
    virtual void OnReleaseChecked(ReleaseVerdict) {}
    virtual void OnAttempt(const FlashAttemptEvent&) {}
    virtual void OnCalibration(const CalibrationChanged&) {}
    virtual void OnProgress(const WriteProgressEvent&) {}
    // An error box the session's port raised on its event thread (served at a turn).
    virtual void OnPortErrorReport(const std::string& /*text*/) {}
    virtual void OnEnded(const OperationEnded&) {}
};

// Hands every event to each listener in the order they were added. Not thread-safe by design:
// one session, one thread.
class SessionEventFanOut : public ISessionEvents {
  public:
    void Add(ISessionEvents& listener) { m_listeners.push_back(&listener); }
    void Remove(ISessionEvents& listener);

    void OnStarted(const OperationStarted& e) override;
    void OnIdentified(const DeviceIdentified& e) override;
    void OnReleaseChecked(ReleaseVerdict v) override;
    void OnAttempt(const FlashAttemptEvent& e) override;
    void OnCalibration(const CalibrationChanged& e) override;
    void OnProgress(const WriteProgressEvent& e) override;
    void OnPortErrorReport(const std::string& text) override;
    void OnEnded(const OperationEnded& e) override;

  private:
    template <typename Call>
    void Each(const Call& call) {
        for (ISessionEvents* listener : m_listeners) {
            call(*listener);
        }
    }

    std::vector<ISessionEvents*> m_listeners;
};

// Adds a listener to a fan-out for a scope.
class ListenScope {
  public:
    ListenScope(SessionEventFanOut& fanOut, ISessionEvents& listener)
        : m_fanOut(fanOut), m_listener(listener) {
        m_fanOut.Add(m_listener);
    }
    ~ListenScope() { m_fanOut.Remove(m_listener); }
    ListenScope(const ListenScope&) = delete;
    ListenScope& operator=(const ListenScope&) = delete;

  private:
    SessionEventFanOut& m_fanOut;
    ISessionEvents& m_listener;
};

// "done", "refused", "failed", "stopped", "port-error", "error".
const char* OutcomeKindName(OutcomeKind kind);
// The reason's word, from the fixed list of docs/json-events.md: "done", "no-reply",
// "unknown-bootloader", "same-release", "newer-release", "unknown-release", "garbled-description",
// "no-image", "image-too-small", "bad-firmware", "failure-rule", "stopped", "port-busy",
// "permission", "not-a-serial-port", "port-missing", "port-lost", "error".
const char* OutcomeReasonName(OutcomeReason reason);

}  // namespace velor
