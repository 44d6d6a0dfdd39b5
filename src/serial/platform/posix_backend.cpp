// The backend on Linux: termios2 and ioctl; transfers run to completion inside their start,
// under the device timeouts, and report "completed at once".

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "serial/PortHolders.h"
#include "serial/SerialBackend.h"
#include "serial/platform/LinuxEventWait.h"
#include "serial/platform/LowLatency.h"
#include "serial/platform/ModemLineErrors.h"
#include "serial/platform/PollDeadline.h"
#include "serial/platform/PosixTermios.h"

namespace velor {
namespace {

using namespace std::chrono_literals;

class PosixIoBlock : public TIoBlock {
  public:
    bool Succeeded = true;
    uint32_t Count = 0;
};

class PosixBackend final : public ISerialBackend {
  public:
    PosixBackend() : m_pokeFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~PosixBackend() override {
        Close();
        if (m_pokeFd >= 0)
            ::close(m_pokeFd);
    }
    PosixBackend(const PosixBackend&) = delete;
    PosixBackend& operator=(const PosixBackend&) = delete;

    TOpenStatus Open(const std::string& port) override {
        Close();
        const std::string path = posix::DevicePath(port);
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return OpenError(errno);
        }
        // flock first: TIOCEXCL does not stop root, flock stops every cooperating opener.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
            ::close(fd);
            return {TOpenResult::Busy, {}, EWOULDBLOCK};
        }
        // Root, or a program that takes neither lock (a modem manager probing the port), may hold
        // a terminal open unseen by flock and TIOCEXCL. Its open has raised the lines already;
        // ours, closed again, leaves them as they were. (Any file is shared: only a terminal.)
        if (::isatty(fd) == 1 && !FindOtherHolders(path).empty()) {
            ::close(fd);
            return {TOpenResult::Busy, {}, EBUSY};
        }
        ::ioctl(fd, TIOCEXCL);
        m_fd = fd;
        // Every reply of the protocol would otherwise wait for an adapter's latency timer.
        m_lowLatency.Ask(fd);
        char resolved[PATH_MAX];
        m_usbSerial =
            ::realpath(path.c_str(), resolved) != nullptr && posix::IsUsbSerialNode(resolved);
        std::lock_guard lock(m_countersMutex);
        m_haveCounters = ::ioctl(m_fd, TIOCGICOUNT, &m_counters) == 0;
        return {TOpenResult::Opened, {}};
    }

    void Close() override {
        if (m_fd < 0) {
            return;
        }
        m_lowLatency.Restore(m_fd);
        // Exclusive mode outlives this descriptor on a tty that stays open elsewhere.
        ::ioctl(m_fd, TIOCNXCL);
        ::close(m_fd);
        m_fd = -1;
    }

    bool DeviceGone() override {
        if (m_fd < 0)
            return false;
        // A hung-up tty (an unplugged adapter, a pty whose other end closed) polls as hung up and
        // answers every request with EIO; an adapter being removed answers ENXIO or ENODEV.
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
            return true;
        struct termios2 t {};
        return ::ioctl(m_fd, TCGETS2, &t) != 0 &&
               (errno == EIO || errno == ENXIO || errno == ENODEV);
    }

    bool SetupComm(int32_t inQueue, int32_t) override {
        // The kernel sizes its own queues; the size still sets the "80% full" mark.
        if (m_fd < 0)
            return false;
        m_inQueueSize.store(inQueue);
        return true;
    }

    bool SetCommState(const TDcb& dcb) override {
        if (m_fd < 0)
            return false;
        struct termios2 t {};
        if (::ioctl(m_fd, TCGETS2, &t) != 0 || !posix::DcbToTermios(dcb, t) ||
            ::ioctl(m_fd, TCSETS2, &t) != 0) {
            return false;
        }
        m_baudRate = dcb.BaudRate;
        int lines = 0;
        if (((dcb.Flags >> kDcbDtrControlShift) & 3) == kDtrControlEnable)
            lines |= TIOCM_DTR;
        if (((dcb.Flags >> kDcbRtsControlShift) & 3) == kRtsControlEnable)
            lines |= TIOCM_RTS;
        if (lines != 0 && ::ioctl(m_fd, TIOCMBIS, &lines) != 0 && !NoModemLines(errno)) {
            return false;
        }
        return true;
    }

    bool SetCommTimeouts(const TDeviceTimeouts& timeouts) override {
        if (m_fd < 0)
            return false;
        m_timeouts = timeouts;
        return true;
    }

    bool EscapeCommFunction(uint32_t function) override {
        if (m_fd < 0)
            return false;
        unsigned long request = 0;
        int lines = 0;
        switch (function) {
            case kSetDtr:
                request = TIOCMBIS;
                lines = TIOCM_DTR;
                break;
            case kClrDtr:
                request = TIOCMBIC;
                lines = TIOCM_DTR;
                break;
            case kSetRts:
                request = TIOCMBIS;
                lines = TIOCM_RTS;
                break;
            case kClrRts:
                request = TIOCMBIC;
                lines = TIOCM_RTS;
                break;
            default:
                return false;
        }
        return ::ioctl(m_fd, request, &lines) == 0 || NoModemLines(errno);
    }

    bool PurgeComm(uint32_t flags) override {
        if (m_fd < 0)
            return false;
        // Transfers never stay pending here, so the abort flags have nothing to end.
        const bool tx = (flags & kPurgeTxClear) != 0;
        const bool rx = (flags & kPurgeRxClear) != 0;
        if (!tx && !rx)
            return true;
        const int which = tx && rx ? TCIOFLUSH : (tx ? TCOFLUSH : TCIFLUSH);
        return ::ioctl(m_fd, TCFLSH, which) == 0;
    }

    bool ClearCommError(uint32_t& errors, uint32_t& inQueue) override {
        if (m_fd < 0)
            return false;
        int queued = 0;
        if (::ioctl(m_fd, FIONREAD, &queued) != 0)
            return false;
        inQueue = static_cast<uint32_t>(std::max(queued, 0));
        errors = TakeErrorFlags();
        return true;
    }

    bool GetCommModemStatus(uint32_t& status) override {
        if (m_fd < 0)
            return false;
        int lines = 0;
        if (::ioctl(m_fd, TIOCMGET, &lines) != 0) {
            if (!NoModemLines(errno))
                return false;
            lines = 0;
        }
        status = 0;
        if (lines & TIOCM_CTS)
            status |= kMsCtsOn;
        if (lines & TIOCM_DSR)
            status |= kMsDsrOn;
        if (lines & TIOCM_RNG)
            status |= kMsRingOn;
        if (lines & TIOCM_CAR)
            status |= kMsRlsdOn;
        return true;
    }

    std::unique_ptr<TIoBlock> NewIoBlock() override { return std::make_unique<PosixIoBlock>(); }

    TStartResult StartWrite(TIoBlock& block, const char* buffer, uint32_t count,
                            uint32_t& transferred) override {
        auto& io = static_cast<PosixIoBlock&>(block);
        transferred = 0;
        if (m_fd < 0)
            return TStartResult::Failed;
        const Deadline limit = TotalLimit(m_timeouts.WriteTotalTimeoutMultiplier,
                                          m_timeouts.WriteTotalTimeoutConstant, count);
        uint32_t written = 0;
        while (written < count) {
            const ssize_t n = ::write(m_fd, buffer + written, count - written);
            if (n > 0) {
                written += static_cast<uint32_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN)
                return TStartResult::Failed;
            const PollOutcome r = PollUntil(m_fd, POLLOUT, limit);
            if (r == PollOutcome::Failed)
                return TStartResult::Failed;
            if (r == PollOutcome::TimedOut)
                break;
        }
        WaitDrained(limit);
        if (written > 0) {
            m_writes.fetch_add(1);
            Poke();
        }
        io.Succeeded = true;
        io.Count = written;
        transferred = written;
        return TStartResult::Completed;
    }

    TStartResult StartRead(TIoBlock& block, char* buffer, uint32_t count,
                           uint32_t& transferred) override {
        auto& io = static_cast<PosixIoBlock&>(block);
        transferred = 0;
        if (m_fd < 0)
            return TStartResult::Failed;
        const TDeviceTimeouts t = m_timeouts;
        const bool atOnce = t.ReadIntervalTimeout == kMaxTimeout &&
                            t.ReadTotalTimeoutMultiplier == 0 && t.ReadTotalTimeoutConstant == 0;
        // All bits in the interval and the multiplier: what is queued, else the first bytes to
        // arrive within the constant.
        const bool firstBytes =
            t.ReadIntervalTimeout == kMaxTimeout && t.ReadTotalTimeoutMultiplier == kMaxTimeout &&
            t.ReadTotalTimeoutConstant != 0 && t.ReadTotalTimeoutConstant != kMaxTimeout;
        const Deadline total = firstBytes ? Deadline::AfterMs(t.ReadTotalTimeoutConstant)
                                          : TotalLimit(t.ReadTotalTimeoutMultiplier,
                                                       t.ReadTotalTimeoutConstant, count);
        const bool hasInterval = t.ReadIntervalTimeout != 0 && t.ReadIntervalTimeout != kMaxTimeout;

        uint32_t got = 0;
        Deadline gapEnd = Deadline::Never();
        bool failed = false;
        bool hungUp = false;
        while (got < count) {
            const ssize_t n = ::read(m_fd, buffer + got, count - got);
            if (n > 0) {
                got += static_cast<uint32_t>(n);
                if (hasInterval)
                    gapEnd = Deadline::AfterMs(t.ReadIntervalTimeout);
                continue;
            }
            // Raw mode without VMIN answers "nothing queued" with 0 rather than EAGAIN.
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN) {
                failed = true;
                break;
            }
            if (atOnce || (firstBytes && got > 0))
                break;
            short revents = 0;
            const PollOutcome r =
                PollUntil(m_fd, POLLIN, Deadline::Earlier(total, gapEnd), &revents);
            if (r == PollOutcome::Failed) {
                failed = true;
                break;
            }
            if (r == PollOutcome::TimedOut)
                break;
            if (revents & (POLLHUP | POLLERR | POLLNVAL)) {
                // The device went away (the other end of a pty closed, an adapter unplugged):
                // what came before it still counts, waiting longer would never end.
                if (hungUp) {
                    failed = got == 0;
                    break;
                }
                hungUp = true;  // one more read takes what is still queued
            }
        }
        if (failed)
            return TStartResult::Failed;
        io.Succeeded = true;
        io.Count = got;
        transferred = got;
        return TStartResult::Completed;
    }

    bool WaitIoBlock(TIoBlock&) override { return true; }

    bool GetIoResult(TIoBlock& block, uint32_t& transferred) override {
        const auto& io = static_cast<const PosixIoBlock&>(block);
        transferred = io.Count;
        return io.Succeeded;
    }

    bool SetCommMask(uint32_t mask) override {
        m_eventMask.store(mask);
        Poke();  // a pending wait looks again, and ends for a mask of 0
        return m_fd >= 0;
    }

    std::unique_ptr<IEventWait> NewEventWait() override {
        return MakeLinuxEventWait({m_fd, m_pokeFd, m_writes, m_eventMask, m_inQueueSize});
    }

  private:
    static TOpenStatus OpenError(int error) {
        switch (error) {
            case ENOENT:
            case ENODEV:
            case ENXIO:
            case ENOTDIR:
                return {TOpenResult::NotFound, {}, error};
            case EACCES:
            case EPERM:
                return {TOpenResult::PermissionDenied, std::strerror(error), error};
            case EBUSY:
                return {TOpenResult::Busy, {}, error};
            default:
                return {TOpenResult::OtherError, std::strerror(error), error};
        }
    }

    bool NoModemLines(int error) const { return posix::NoModemLinesAnswer(error, m_usbSerial); }

    // Wakes the event wait to take a new snapshot.
    void Poke() {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_pokeFd, &one, sizeof one);
    }

    // The line errors counted since the last call, as ClearCommError flags.
    uint32_t TakeErrorFlags() {
        std::lock_guard lock(m_countersMutex);
        if (!m_haveCounters)
            return 0;
        serial_icounter_struct now{};
        if (::ioctl(m_fd, TIOCGICOUNT, &now) != 0)
            return 0;
        uint32_t flags = 0;
        if (now.frame != m_counters.frame)
            flags |= kCeFrame;
        if (now.parity != m_counters.parity)
            flags |= kCeRxParity;
        if (now.overrun != m_counters.overrun)
            flags |= kCeOverrun;
        if (now.brk != m_counters.brk)
            flags |= kCeBreak;
        if (now.buf_overrun != m_counters.buf_overrun)
            flags |= kCeRxOver;
        m_counters = now;
        return flags;
    }

    // A write is complete once its bytes have left the output queue, or at the write limit.
    void WaitDrained(const Deadline& limit) {
        for (;;) {
            int pending = 0;
            if (::ioctl(m_fd, TIOCOUTQ, &pending) != 0 || pending <= 0 || limit.Expired()) {
                return;
            }
            // About the line time of what is left, within bounds that keep the wait responsive.
            const uint32_t baud = std::max<uint32_t>(m_baudRate, 1);
            auto wait =
                std::chrono::microseconds(static_cast<int64_t>(pending) * 10'000'000 / baud);
            wait = std::clamp<std::chrono::microseconds>(wait, 50us, 5ms);
            if (const auto left = limit.Remaining()) {
                wait = std::min(wait, std::chrono::duration_cast<std::chrono::microseconds>(*left));
            }
            std::this_thread::sleep_for(wait);
        }
    }

    int m_fd = -1;
    const int m_pokeFd;                 // wakes the event wait after a write or a new mask
    std::atomic<uint64_t> m_writes{0};  // completed writes, for the transmit-empty event
    TDeviceTimeouts m_timeouts{};
    uint32_t m_baudRate = 9600;
    std::atomic<int32_t> m_inQueueSize{2048};
    std::atomic<uint32_t> m_eventMask{0};
    std::mutex m_countersMutex;
    serial_icounter_struct m_counters{};
    bool m_haveCounters = false;
    bool m_usbSerial = false;
    posix::LowLatencyRequest m_lowLatency;
};

}  // namespace

std::unique_ptr<ISerialBackend> MakePlatformBackend() {
    return std::make_unique<PosixBackend>();
}

}  // namespace velor
