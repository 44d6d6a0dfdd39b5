// The Win32 backend: the system's own serial API on a handle opened for overlapped I/O.

#include <windows.h>

#include <cstring>

#include "serial/SerialBackend.h"

namespace velor {
namespace {

static_assert(sizeof(DCB) == sizeof(TDcb), "TDcb mirrors the system's DCB");

// A device that has no modem lines (a virtual port) answers so.
bool NotSupported(DWORD error) {
    return error == ERROR_NOT_SUPPORTED;
}

class Win32IoBlock : public TIoBlock {
  public:
    Win32IoBlock() {
        std::memset(&Overlapped, 0, sizeof Overlapped);
        Overlapped.hEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    }
    ~Win32IoBlock() override {
        if (Overlapped.hEvent != nullptr)
            CloseHandle(Overlapped.hEvent);
    }
    Win32IoBlock(const Win32IoBlock&) = delete;
    Win32IoBlock& operator=(const Win32IoBlock&) = delete;
    OVERLAPPED Overlapped;
};

class Win32EventWait final : public IEventWait {
  public:
    explicit Win32EventWait(HANDLE device) : m_device(device) {
        std::memset(&m_overlapped, 0, sizeof m_overlapped);
        m_stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_overlapped.hEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    }
    ~Win32EventWait() override {
        if (m_pending) {
            // The request block must outlive the wait the device still holds on it.
            CancelIoEx(m_device, &m_overlapped);
            DWORD n = 0;
            GetOverlappedResult(m_device, &m_overlapped, &n, TRUE);
        }
        if (m_overlapped.hEvent != nullptr)
            CloseHandle(m_overlapped.hEvent);
        if (m_stop != nullptr)
            CloseHandle(m_stop);
    }
    Win32EventWait(const Win32EventWait&) = delete;
    Win32EventWait& operator=(const Win32EventWait&) = delete;

    void RequestStop() override {
        SetEvent(m_stop);
        Sleep(0);
    }

    Result Wait(uint32_t& events) override {
        if (m_stop == nullptr || m_overlapped.hEvent == nullptr)
            return Result::WaitFailed;
        if (!m_pending) {
            m_mask = 0;
            if (!WaitCommEvent(m_device, &m_mask, &m_overlapped)) {
                m_pending = GetLastError() == ERROR_IO_PENDING;
            }
        }
        HANDLE handles[2] = {m_stop, m_overlapped.hEvent};  // the stop wins when both are set
        const DWORD r = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (r == WAIT_OBJECT_0)
            return Result::Stopped;
        if (r != WAIT_OBJECT_0 + 1)
            return Result::WaitFailed;
        m_pending = false;
        DWORD n = 0;
        if (!GetOverlappedResult(m_device, &m_overlapped, &n, FALSE)) {
            return Result::OccurredFailed;
        }
        events = m_mask;
        return Result::Occurred;
    }

  private:
    HANDLE m_device;
    HANDLE m_stop = nullptr;
    OVERLAPPED m_overlapped;
    DWORD m_mask = 0;
    bool m_pending = false;
};

class Win32Backend final : public ISerialBackend {
  public:
    ~Win32Backend() override { Close(); }

    TOpenStatus Open(const std::string& port) override {
        Close();
        // The device namespace prefix also reaches ports above COM9.
        const std::string path = "\\\\.\\" + port;
        m_device = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (m_device != INVALID_HANDLE_VALUE)
            return {TOpenResult::Opened, {}};
        switch (GetLastError()) {
            case ERROR_FILE_NOT_FOUND:
                return {TOpenResult::NotFound, {}};
            case ERROR_ACCESS_DENIED:
                return {TOpenResult::Busy, {}};
            default:
                return {TOpenResult::OtherError, {}};
        }
    }

    void Close() override {
        if (m_device != INVALID_HANDLE_VALUE) {
            CloseHandle(m_device);
            m_device = INVALID_HANDLE_VALUE;
        }
    }

    bool HasDevice() const override { return m_device != INVALID_HANDLE_VALUE; }

    bool SetupComm(int32_t inQueue, int32_t outQueue) override {
        return ::SetupComm(m_device, static_cast<DWORD>(inQueue), static_cast<DWORD>(outQueue)) !=
               FALSE;
    }

    bool SetCommState(const TDcb& block) override {
        DCB dcb;
        std::memcpy(&dcb, &block, sizeof dcb);
        return ::SetCommState(m_device, &dcb) != FALSE;
    }

    bool SetCommTimeouts(const TDeviceTimeouts& t) override {
        COMMTIMEOUTS c;
        c.ReadIntervalTimeout = t.ReadIntervalTimeout;
        c.ReadTotalTimeoutMultiplier = t.ReadTotalTimeoutMultiplier;
        c.ReadTotalTimeoutConstant = t.ReadTotalTimeoutConstant;
        c.WriteTotalTimeoutMultiplier = t.WriteTotalTimeoutMultiplier;
        c.WriteTotalTimeoutConstant = t.WriteTotalTimeoutConstant;
        return ::SetCommTimeouts(m_device, &c) != FALSE;
    }

    bool EscapeCommFunction(uint32_t function) override {
        return ::EscapeCommFunction(m_device, function) != FALSE || NotSupported(GetLastError());
    }

    bool PurgeComm(uint32_t flags) override { return ::PurgeComm(m_device, flags) != FALSE; }

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

    std::unique_ptr<TIoBlock> NewIoBlock() override { return std::make_unique<Win32IoBlock>(); }

    TStartResult StartWrite(TIoBlock& block, const char* buffer, uint32_t count,
                            uint32_t& transferred) override {
        auto& io = static_cast<Win32IoBlock&>(block);
        DWORD n = 0;
        transferred = 0;
        if (WriteFile(m_device, buffer, count, &n, &io.Overlapped)) {
            transferred = n;
            return TStartResult::Completed;
        }
        return GetLastError() == ERROR_IO_PENDING ? TStartResult::Pending : TStartResult::Failed;
    }

    TStartResult StartRead(TIoBlock& block, char* buffer, uint32_t count,
                           uint32_t& transferred) override {
        auto& io = static_cast<Win32IoBlock&>(block);
        DWORD n = 0;
        transferred = 0;
        if (ReadFile(m_device, buffer, count, &n, &io.Overlapped)) {
            transferred = n;
            return TStartResult::Completed;
        }
        return GetLastError() == ERROR_IO_PENDING ? TStartResult::Pending : TStartResult::Failed;
    }

    bool WaitIoBlock(TIoBlock& block) override {
        auto& io = static_cast<Win32IoBlock&>(block);
        return io.Overlapped.hEvent != nullptr &&
               WaitForSingleObject(io.Overlapped.hEvent, INFINITE) == WAIT_OBJECT_0;
    }

    bool GetIoResult(TIoBlock& block, uint32_t& transferred) override {
        auto& io = static_cast<Win32IoBlock&>(block);
        DWORD n = 0;
        // Wine ends a read by its time-outs with ERROR_TIMEOUT where Windows reports success:
        // both are a read that ended with what arrived.
        if (!GetOverlappedResult(m_device, &io.Overlapped, &n, FALSE) &&
            GetLastError() != ERROR_TIMEOUT)
            return false;
        transferred = n;
        return true;
    }

    bool SetCommMask(uint32_t mask) override { return ::SetCommMask(m_device, mask) != FALSE; }

    std::unique_ptr<IEventWait> NewEventWait() override {
        return std::make_unique<Win32EventWait>(m_device);
    }

  private:
    HANDLE m_device = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<ISerialBackend> MakePlatformBackend() {
    return std::make_unique<Win32Backend>();
}

}  // namespace velor
