#pragma once
// The platform layer of the port component: the operating system's serial operations, one method
// each, with the Windows meanings. TBComPort holds the logic and the messages; a backend only maps
// the operations (POSIX termios, the Win32 API, or a scriptable fake for tests).

#include <cstdint>
#include <memory>
#include <string>

#include "serial/LineSettings.h"

namespace velor {

// EscapeCommFunction codes.
inline constexpr uint32_t kSetRts = 3;
inline constexpr uint32_t kClrRts = 4;
inline constexpr uint32_t kSetDtr = 5;
inline constexpr uint32_t kClrDtr = 6;

// PurgeComm flags.
inline constexpr uint32_t kPurgeTxAbort = 0x1;  // end pending writes
inline constexpr uint32_t kPurgeRxAbort = 0x2;  // end pending reads
inline constexpr uint32_t kPurgeTxClear = 0x4;  // discard the output queue
inline constexpr uint32_t kPurgeRxClear = 0x8;  // discard the input queue

// GetCommModemStatus bits.
inline constexpr uint32_t kMsCtsOn = 16;
inline constexpr uint32_t kMsDsrOn = 32;
inline constexpr uint32_t kMsRingOn = 64;
inline constexpr uint32_t kMsRlsdOn = 128;

// ClearCommError flags.
inline constexpr uint32_t kCeRxOver = 0x1;
inline constexpr uint32_t kCeOverrun = 0x2;
inline constexpr uint32_t kCeRxParity = 0x4;
inline constexpr uint32_t kCeFrame = 0x8;
inline constexpr uint32_t kCeBreak = 0x10;
inline constexpr uint32_t kCeTxFull = 0x100;
inline constexpr uint32_t kCePto = 0x200;
inline constexpr uint32_t kCeIoe = 0x400;
inline constexpr uint32_t kCeMode = 0x8000;

// How opening a device failed. Busy and PermissionDenied both mean "access denied".
enum class TOpenResult : uint8_t { Opened, NotFound, Busy, PermissionDenied, OtherError };

struct TOpenStatus {
    TOpenResult Result = TOpenResult::Opened;
    std::string Reason;  // the system's own text, for PermissionDenied
    int OsError = 0;     // errno or GetLastError() of a failed open; 0 when there is none
};

// A transfer's request block with its completion event. Created signalled and empty: awaiting a
// block that never carried a transfer succeeds at once with 0 bytes.
class TIoBlock {
  public:
    virtual ~TIoBlock() = default;
};

enum class TStartResult : uint8_t { Completed, Pending, Failed };

// One pending wait for line events at a time, with a stop signal that any thread may raise.
class IEventWait {
  public:
    virtual ~IEventWait() = default;
    // Raises the stop signal; it stays raised.
    virtual void RequestStop() = 0;
    enum class Result : uint8_t { Stopped, Occurred, OccurredFailed, WaitFailed };
    // Starts a wait for the events of the current mask and blocks until one occurred or the stop
    // signal is raised (the stop wins when both). On Occurred, events holds the platform codes.
    virtual Result Wait(uint32_t& events) = 0;
};

class ISerialBackend {
  public:
    virtual ~ISerialBackend() = default;

    // Opens the named port for exclusive, asynchronous reading and writing. On OtherError the
    // backend holds no device and the later operations fail.
    virtual TOpenStatus Open(const std::string& port) = 0;
    // Releases the device; harmless when none is held.
    virtual void Close() = 0;
    // Whether the device has left the line (unplugged, hung up), judged by the last failed call
    // and the handle's own state. A closing port then lets go of it without the line calls.
    virtual bool DeviceGone() { return false; }

    virtual bool SetupComm(int32_t inQueue, int32_t outQueue) = 0;
    virtual bool SetCommState(const TDcb& dcb) = 0;
    virtual bool SetCommTimeouts(const TDeviceTimeouts& timeouts) = 0;
    virtual bool EscapeCommFunction(uint32_t function) = 0;
    virtual bool PurgeComm(uint32_t flags) = 0;
    // Returns and clears the error flags; inQueue is the input queue's byte count.
    virtual bool ClearCommError(uint32_t& errors, uint32_t& inQueue) = 0;
    virtual bool GetCommModemStatus(uint32_t& status) = 0;

    // Transfers: the buffer must stay valid until the block has been awaited. transferred is the
    // count moved at once (Completed), else 0.
    virtual std::unique_ptr<TIoBlock> NewIoBlock() = 0;
    virtual TStartResult StartWrite(TIoBlock& block, const char* buffer, uint32_t count,
                                    uint32_t& transferred) = 0;
    virtual TStartResult StartRead(TIoBlock& block, char* buffer, uint32_t count,
                                   uint32_t& transferred) = 0;
    // Waits for the block's event, as long as the request's own time-outs allow and a margin more:
    // a request stuck beyond that is cancelled. false when the wait failed or the request stuck.
    virtual bool WaitIoBlock(TIoBlock& block) = 0;
    // Without waiting: whether the finished transfer succeeded, and its byte count.
    virtual bool GetIoResult(TIoBlock& block, uint32_t& transferred) = 0;

    // Line events: the codes the device reports (0 ends a pending wait).
    virtual bool SetCommMask(uint32_t mask) = 0;
    virtual std::unique_ptr<IEventWait> NewEventWait() = 0;
};

// The backend of the system the program was built for.
std::unique_ptr<ISerialBackend> MakePlatformBackend();

}  // namespace velor
