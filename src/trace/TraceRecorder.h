#pragma once
// The flight recorder: listens to a session's events and to its port's wire, and writes each
// operation's trace (docs/trace-format.md) from a thread of its own. The port's thread only
// copies what it saw into a bounded queue; a queue that overflows or a disk that fails costs the
// trace (marked so), never the operation.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <variant>

#include "firmware/FirmwareImage.h"
#include "protocol/SessionEvents.h"
#include "serial/WireTap.h"
#include "trace/TraceStore.h"

namespace velor {

class PortSession;

struct TraceProgram {
    std::string name;     // velor-flash, velor-bootloader
    std::string version;  // the program's own
};

class TraceRecorder final : public ISessionEvents, public IWireTap {
  public:
    // image: the front end's current image (its SHA-256 and size go into a write's header); may
    // be null. queueLimit: the bytes waiting for the writer beyond which events are dropped.
    TraceRecorder(TraceProgram program, std::unique_ptr<ITraceStore> store,
                  const std::shared_ptr<const FirmwareImage>* image = nullptr,
                  std::size_t queueLimit = kDefaultQueueLimit);
    ~TraceRecorder() override;  // writes what waits, then ends the writer
    TraceRecorder(const TraceRecorder&) = delete;
    TraceRecorder& operator=(const TraceRecorder&) = delete;

    static constexpr std::size_t kDefaultQueueLimit = 16u << 20;

    // Waits until the writer has closed the trace of the last operation that ended; its result.
    TraceResult LastTrace();

    // ISessionEvents
    void OnStarted(const OperationStarted& e) override;
    void OnIdentified(const DeviceIdentified& e) override;
    void OnReleaseChecked(ReleaseVerdict v) override;
    void OnAttempt(const FlashAttemptEvent& e) override;
    void OnCalibration(const CalibrationChanged& e) override;
    void OnPortErrorReport(const std::string& text) override;
    void OnEnded(const OperationEnded& e) override;

    // IWireTap
    void PortOpened(const TBComPort& port) noexcept override;
    void PortClosed() noexcept override;
    void Sent(std::string_view bytes, int32_t written) noexcept override;
    void Received(std::string_view bytes,
                  std::chrono::steady_clock::time_point readStart) noexcept override;
    void Failed(const EComPort& error) noexcept override;
    void LineErrors(uint32_t flags) noexcept override;

    using Clock = std::chrono::steady_clock;

    struct Begin {
        OperationStarted started;
        std::shared_ptr<const FirmwareImage> image;
    };
    struct Opened {
        uint32_t baud;
        int byteSize;
        int parity;
        int stopBits;
    };
    struct Closed {};
    struct Wire {
        bool sent;
        std::string bytes;
        int32_t written;
        Clock::time_point readStart;
    };
    struct PortFailure {
        int message;
        int osError;
        std::string text;
    };
    struct LineFlags {
        uint32_t flags;
    };
    struct ErrorBox {
        std::string text;
    };
    using Event =
        std::variant<Begin, DeviceIdentified, ReleaseVerdict, FlashAttemptEvent, CalibrationChanged,
                     OperationEnded, Opened, Closed, Wire, PortFailure, LineFlags, ErrorBox>;

  private:
    struct Item {
        Clock::time_point at;
        Event event;
        int64_t droppedBefore = 0;  // events the full queue refused just before this one
    };
    class Writer;

    void Push(Event&& event, std::size_t bytes, bool wake = false) noexcept;
    void Run();

    TraceProgram m_program;
    const std::shared_ptr<const FirmwareImage>* m_image;
    std::size_t m_queueLimit;
    std::unique_ptr<Writer> m_writer;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_traceClosed;
    std::deque<Item> m_queue;
    std::size_t m_queuedBytes = 0;
    int64_t m_dropped = 0;  // events lost to a full queue since the last one queued
    uint64_t m_endsQueued = 0;
    uint64_t m_endsWritten = 0;
    TraceResult m_last;
    bool m_quit = false;
    std::thread m_thread;  // last: starts when everything above exists
};

// A recorder on a port session for a scope: its events and its port's wire.
class TraceScope {
  public:
    TraceScope(PortSession& session, TraceRecorder& recorder);
    ~TraceScope();
    TraceScope(const TraceScope&) = delete;
    TraceScope& operator=(const TraceScope&) = delete;

  private:
    PortSession& m_session;
    TraceRecorder& m_recorder;
};

}  // namespace velor
