// The Win32 backend: the system's own serial API on a handle opened for overlapped I/O.

#include <windows.h>

#include <atomic>
#include <cctype>
#include <cstring>
#include <memory>
#include <utility>

#include "serial/SerialBackend.h"
#include "serial/TransferLimit.h"
#include "serial/platform/Win32Backend.h"

namespace velor {
namespace {

static_assert(sizeof(DCB) == sizeof(TDcb), "TDcb mirrors the system's DCB");

// The one answer taken as "this device has no modem lines" (a virtual port, a Wine COM port on a
// pseudo-terminal): lines read as all off, setting them succeeds. ERROR_INVALID_PARAMETER and the
// rest stay failures, since no driver is known to answer them for missing lines.
bool NotSupported(DWORD error) {
    return error == ERROR_NOT_SUPPORTED;
}

// The answers of a port whose device has gone: a USB adapter after its surprise removal, or (under
// Wine) a pseudo-terminal whose other end closed, whose EIO arrives as ERROR_NOT_READY.
bool DeviceLeft(DWORD error) {
    switch (error) {
        case ERROR_BAD_COMMAND:
        case ERROR_DEVICE_REMOVED:
        case ERROR_ACCESS_DENIED:
        case ERROR_OPERATION_ABORTED:
        case ERROR_NOT_READY:
        case ERROR_DEVICE_NOT_CONNECTED:
            return true;
        default:
            return false;
    }
}

// The outcome of a finished overlapped request. A request that ended by its time-outs has
// succeeded with what it moved (possibly nothing): Windows reports it so, while Wine completes it
// with STATUS_TIMEOUT, which GetOverlappedResult turns into FALSE with ERROR_TIMEOUT.
bool FinishedRequest(HANDLE device, OVERLAPPED& overlapped, DWORD& transferred) {
    transferred = 0;
    if (GetOverlappedResult(device, &overlapped, &transferred, FALSE))
        return true;
    return GetLastError() == ERROR_TIMEOUT;
}

// Starting a request: done at once (also by its time-outs), pending, or refused.
TStartResult StartOutcome(BOOL started, DWORD atOnce, const OVERLAPPED& overlapped,
                          uint32_t& transferred) {
    if (started) {
        transferred = atOnce;
        return TStartResult::Completed;
    }
    switch (GetLastError()) {
        case ERROR_IO_PENDING:
            return TStartResult::Pending;
        case ERROR_TIMEOUT:
            transferred = static_cast<uint32_t>(overlapped.InternalHigh);
            return TStartResult::Completed;
        default:
            return TStartResult::Failed;
    }
}

HANDLE NewManualEvent() {
    return CreateEventA(nullptr, TRUE, TRUE, nullptr);
}

class Win32IoBlock : public TIoBlock {
  public:
    explicit Win32IoBlock(HANDLE event) : m_overlapped(std::make_unique<OVERLAPPED>()) {
        std::memset(m_overlapped.get(), 0, sizeof(OVERLAPPED));
        m_overlapped->hEvent = event;
    }
    ~Win32IoBlock() override {
        if (m_abandoned) {
            // The device may still write into the block and signal its event: both stay.
            static_cast<void>(m_overlapped.release());
            return;
        }
        if (m_overlapped->hEvent != nullptr)
            CloseHandle(m_overlapped->hEvent);
    }
    Win32IoBlock(const Win32IoBlock&) = delete;
    Win32IoBlock& operator=(const Win32IoBlock&) = delete;

    OVERLAPPED& Overlapped() { return *m_overlapped; }
    // A request that not even its cancellation ended.
    void Abandon() { m_abandoned = true; }
    DWORD LimitMs = INFINITE;

  private:
    std::unique_ptr<OVERLAPPED> m_overlapped;  // its own allocation, so an abandoned one can stay
    bool m_abandoned = false;
};

// Waits for line events with WaitCommEvent. Where the device cannot wait (Wine on a
// pseudo-terminal: ERROR_NOT_SUPPORTED at once for a mask with modem-line events, and a wait that
// ends cancelled within milliseconds for the rest, since it cannot read the modem lines), it
// watches the queue counts itself instead, for the received-character and transmit-empty events.
class Win32EventWait final : public IEventWait {
  public:
    Win32EventWait(HANDLE device, const std::atomic<uint32_t>& watched)
        : m_device(device), m_watched(watched), m_request(std::make_unique<Request>()) {
        std::memset(&m_request->Overlapped, 0, sizeof(OVERLAPPED));
        m_stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_request->Overlapped.hEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
        // Made before the event mask is set: characters that arrive from here on are news, even
        // if the watch below starts only after they came.
        QueueCounts(m_lastIn, m_lastOut);
    }
    ~Win32EventWait() override {
        const HANDLE event = m_request->Overlapped.hEvent;
        if (m_pending) {
            // The request block must outlive the wait the device still holds on it; a
            // cancellation that does not end in time leaves it to the device rather than hold
            // the closing port's thread for ever.
            CancelIoEx(m_device, &m_request->Overlapped);
            if (event == nullptr ||
                WaitForSingleObject(event, kStuckTransferMarginMs) != WAIT_OBJECT_0) {
                static_cast<void>(m_request.release());
            }
        }
        if (m_request && event != nullptr)
            CloseHandle(event);
        if (m_stop != nullptr)
            CloseHandle(m_stop);
    }
    Win32EventWait(const Win32EventWait&) = delete;
    Win32EventWait& operator=(const Win32EventWait&) = delete;

    void RequestStop() override {
        SetEvent(m_stop);
        // The caller joins the event thread next: hand it the rest of this time slice so that it
        // leaves its wait now rather than at the scheduler's next turn.
        Sleep(0);
    }

    Result Wait(uint32_t& events) override {
        if (m_stop == nullptr || m_request->Overlapped.hEvent == nullptr)
            return Result::WaitFailed;
        if (m_watching)
            return WatchQueues(events);
        if (!m_pending) {
            m_request->Mask = 0;
            if (!WaitCommEvent(m_device, &m_request->Mask, &m_request->Overlapped)) {
                const DWORD error = GetLastError();
                if (error == ERROR_NOT_SUPPORTED)
                    return StartWatching(events);
                // Nothing would ever signal the request's event: waiting on it would hang.
                if (error != ERROR_IO_PENDING)
                    return Result::WaitFailed;
                m_pending = true;
            }
        }
        HANDLE handles[2] = {m_stop,
                             m_request->Overlapped.hEvent};  // the stop wins when both are set
        const DWORD r = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (r == WAIT_OBJECT_0)
            return Result::Stopped;
        if (r != WAIT_OBJECT_0 + 1)
            return Result::WaitFailed;
        m_pending = false;
        DWORD n = 0;
        if (!FinishedRequest(m_device, m_request->Overlapped, n)) {
            if (GetLastError() == ERROR_OPERATION_ABORTED)
                return StartWatching(events);
            return Result::OccurredFailed;
        }
        events = m_request->Mask;
        return Result::Occurred;
    }

  private:
    static constexpr DWORD kWatchTickMs = 2;

    Result StartWatching(uint32_t& events) {
        m_watching = true;
        return WatchQueues(events);
    }

    // Also clears the error flags. Nothing is lost: at the start no transfer has run yet, and a
    // device that cannot wait for events (a pseudo-terminal) has no line errors.
    bool QueueCounts(DWORD& in, DWORD& out) {
        COMSTAT stat;
        std::memset(&stat, 0, sizeof stat);
        DWORD errors = 0;
        if (!ClearCommError(m_device, &errors, &stat))
            return false;
        in = stat.cbInQue;
        out = stat.cbOutQue;
        return true;
    }

    Result WatchQueues(uint32_t& events) {
        for (;;) {
            const DWORD r = WaitForSingleObject(m_stop, kWatchTickMs);
            if (r == WAIT_OBJECT_0)
                return Result::Stopped;
            if (r != WAIT_TIMEOUT)
                return Result::WaitFailed;
            DWORD in = 0;
            DWORD out = 0;
            if (!QueueCounts(in, out))
                return Result::WaitFailed;
            uint32_t occurred = 0;
            if (in > m_lastIn)
                occurred |= EV_RXCHAR;
            if (out == 0 && m_lastOut > 0)
                occurred |= EV_TXEMPTY;
            m_lastIn = in;
            m_lastOut = out;
            occurred &= m_watched.load();
            if (occurred != 0) {
                events = occurred;
                return Result::Occurred;
            }
        }
    }

    HANDLE m_device;
    const std::atomic<uint32_t>& m_watched;
    // The block and the mask the device fills in, on their own allocation (see the destructor).
    struct Request {
        OVERLAPPED Overlapped;
        DWORD Mask = 0;
    };
    std::unique_ptr<Request> m_request;
    HANDLE m_stop = nullptr;
    bool m_pending = false;
    bool m_watching = false;
    DWORD m_lastIn = 0;
    DWORD m_lastOut = 0;
};

class Win32Backend final : public ISerialBackend {
  public:
    explicit Win32Backend(TEventFactory newEvent) : m_newEvent(std::move(newEvent)) {}
    ~Win32Backend() override { Close(); }
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    TOpenStatus Open(const std::string& port) override {
        Close();
        // The device namespace prefix also reaches ports above COM9.
        const std::string path = "\\\\.\\" + port;
        m_device = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (m_device != INVALID_HANDLE_VALUE) {
            if (!ClaimPort(port)) {
                Close();
                return {TOpenResult::Busy, {}};
            }
            return {TOpenResult::Opened, {}};
        }
        const auto error = static_cast<int>(GetLastError());
        switch (error) {
            case ERROR_FILE_NOT_FOUND:
                return {TOpenResult::NotFound, {}, error};
            case ERROR_ACCESS_DENIED:
                return {TOpenResult::Busy, {}, error};
            default:
                return {TOpenResult::OtherError, {}, error};
        }
    }

    void Close() override {
        if (m_device != INVALID_HANDLE_VALUE) {
            CloseHandle(m_device);
            m_device = INVALID_HANDLE_VALUE;
        }
        if (m_claim != nullptr) {
            CloseHandle(m_claim);
            m_claim = nullptr;
        }
    }

    bool SetupComm(int32_t inQueue, int32_t outQueue) override {
        return ::SetupComm(m_device, static_cast<DWORD>(inQueue), static_cast<DWORD>(outQueue)) !=
               FALSE;
    }

    bool SetCommState(const TDcb& block) override {
        DCB dcb;
        std::memcpy(&dcb, &block, sizeof dcb);
        if (!::SetCommState(m_device, &dcb))
            return false;
        m_baudRate = dcb.BaudRate;
        return true;
    }

    bool SetCommTimeouts(const TDeviceTimeouts& t) override {
        COMMTIMEOUTS c;
        c.ReadIntervalTimeout = t.ReadIntervalTimeout;
        c.ReadTotalTimeoutMultiplier = t.ReadTotalTimeoutMultiplier;
        c.ReadTotalTimeoutConstant = t.ReadTotalTimeoutConstant;
        c.WriteTotalTimeoutMultiplier = t.WriteTotalTimeoutMultiplier;
        c.WriteTotalTimeoutConstant = t.WriteTotalTimeoutConstant;
        if (!::SetCommTimeouts(m_device, &c))
            return false;
        m_timeouts = t;
        return true;
    }

    bool DeviceGone() override {
        return m_device != INVALID_HANDLE_VALUE && DeviceLeft(m_lastError);
    }

    bool EscapeCommFunction(uint32_t function) override {
        return Kept(::EscapeCommFunction(m_device, function)) || NotSupported(m_lastError);
    }

    bool PurgeComm(uint32_t flags) override { return Kept(::PurgeComm(m_device, flags)); }

    bool ClearCommError(uint32_t& errors, uint32_t& inQueue) override {
        DWORD e = 0;
        COMSTAT stat;
        std::memset(&stat, 0, sizeof stat);
        if (!::ClearCommError(m_device, &e, &stat))
            return false;
        errors = e;
        inQueue = stat.cbInQue;
        return true;
    }

    bool GetCommModemStatus(uint32_t& status) override {
        DWORD s = 0;
        if (::GetCommModemStatus(m_device, &s)) {
            status = s;
            return true;
        }
        if (!NotSupported(GetLastError()))
            return false;
        status = 0;
        return true;
    }

    // No block without its event: a request with a null event would still go pending, and then
    // nothing could wait for it before its buffer is freed. The port refuses a missing block.
    std::unique_ptr<TIoBlock> NewIoBlock() override {
        HANDLE event = m_newEvent();
        if (event == nullptr)
            return nullptr;
        return std::make_unique<Win32IoBlock>(event);
    }

    TStartResult StartWrite(TIoBlock& block, const char* buffer, uint32_t count,
                            uint32_t& transferred) override {
        auto& io = static_cast<Win32IoBlock&>(block);
        transferred = 0;
        if (io.Overlapped().hEvent == nullptr)
            return TStartResult::Failed;
        io.LimitMs = TransferLimitMs(m_timeouts, false, count, m_baudRate);
        DWORD n = 0;
        const BOOL started = WriteFile(m_device, buffer, count, &n, &io.Overlapped());
        return StartOutcome(started, n, io.Overlapped(), transferred);
    }

    TStartResult StartRead(TIoBlock& block, char* buffer, uint32_t count,
                           uint32_t& transferred) override {
        auto& io = static_cast<Win32IoBlock&>(block);
        transferred = 0;
        if (io.Overlapped().hEvent == nullptr)
            return TStartResult::Failed;
        io.LimitMs = TransferLimitMs(m_timeouts, true, count, m_baudRate);
        DWORD n = 0;
        const BOOL started = ReadFile(m_device, buffer, count, &n, &io.Overlapped());
        return StartOutcome(started, n, io.Overlapped(), transferred);
    }

    bool WaitIoBlock(TIoBlock& block) override {
        auto& io = static_cast<Win32IoBlock&>(block);
        const HANDLE event = io.Overlapped().hEvent;
        if (event == nullptr)
            return false;
        const DWORD limit = io.LimitMs == kNoTransferLimit ? INFINITE : io.LimitMs;
        if (WaitForSingleObject(event, limit) == WAIT_OBJECT_0)
            return true;
        // Stuck far beyond its own time-outs: cancelled, so that the operation reports a failed
        // transfer instead of waiting for ever.
        CancelIoEx(m_device, &io.Overlapped());
        if (WaitForSingleObject(event, kStuckTransferMarginMs) != WAIT_OBJECT_0)
            io.Abandon();
        return false;
    }

    bool GetIoResult(TIoBlock& block, uint32_t& transferred) override {
        auto& io = static_cast<Win32IoBlock&>(block);
        DWORD n = 0;
        if (!FinishedRequest(m_device, io.Overlapped(), n))
            return false;
        transferred = n;
        return true;
    }

    bool SetCommMask(uint32_t mask) override {
        m_watched.store(mask);
        return ::SetCommMask(m_device, mask) != FALSE;
    }

    std::unique_ptr<IEventWait> NewEventWait() override {
        return std::make_unique<Win32EventWait>(m_device, m_watched);
    }

  private:
    // The call's outcome, keeping the error of a failure for DeviceGone.
    bool Kept(BOOL result) {
        m_lastError = result ? ERROR_SUCCESS : GetLastError();
        return result != FALSE;
    }

    // A port driver refuses a second opener, but Wine lets every one in; a named mutex per port
    // stops every cooperating opener (our programs), in this process or another.
    bool ClaimPort(const std::string& port) {
        std::string name = "Global\\VelorBootloader.Port.";
        for (char c : port)
            name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        m_claim = CreateMutexA(nullptr, FALSE, name.c_str());
        if (m_claim == nullptr)
            return true;  // no claim to be had: the driver's own refusal still holds
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(m_claim);
            m_claim = nullptr;
            return false;
        }
        return true;
    }

    TEventFactory m_newEvent;
    HANDLE m_device = INVALID_HANDLE_VALUE;
    HANDLE m_claim = nullptr;
    TDeviceTimeouts m_timeouts;  // as last set: they bound every transfer's wait
    uint32_t m_baudRate = 0;
    DWORD m_lastError = ERROR_SUCCESS;
    std::atomic<uint32_t> m_watched{0};
};

}  // namespace

std::unique_ptr<ISerialBackend> MakeWin32Backend(TEventFactory newEvent) {
    return std::make_unique<Win32Backend>(std::move(newEvent));
}

std::unique_ptr<ISerialBackend> MakePlatformBackend() {
    return MakeWin32Backend(NewManualEvent);
}

}  // namespace velor
