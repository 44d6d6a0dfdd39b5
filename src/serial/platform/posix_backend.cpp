// The POSIX backend: termios2, ioctl and poll on Linux. Transfers run to completion inside their
// start, under the device timeouts, and report "completed at once".

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

#include "serial/ComEvents.h"
#include "serial/Deadline.h"
#include "serial/SerialBackend.h"
#include "serial/platform/ModemLineErrors.h"
#include "serial/platform/PosixTermios.h"

namespace velor {
namespace {

using namespace std::chrono_literals;

class PosixIoBlock : public TIoBlock {
  public:
    bool Succeeded = true;
    uint32_t Count = 0;
};

// Waits until fd is ready for events or the deadline passes. True when ready (or hung up).
enum class PollOutcome { Ready, TimedOut, Failed };
PollOutcome PollUntil(int fd, short events, const Deadline& deadline, short* revents = nullptr) {
    for (;;) {
        pollfd p{fd, events, 0};
        timespec ts{};
        timespec* tsp = nullptr;
        if (const auto left = deadline.Remaining()) {
            if (*left == std::chrono::nanoseconds::zero()) {
                return PollOutcome::TimedOut;
            }
            ts.tv_sec = static_cast<time_t>(left->count() / 1'000'000'000);
            ts.tv_nsec = static_cast<long>(left->count() % 1'000'000'000);
            tsp = &ts;
        }
        const int r = ppoll(&p, 1, tsp, nullptr);
        if (r > 0) {
            if (revents != nullptr)
                *revents = p.revents;
            return PollOutcome::Ready;
        }
        if (r == 0) {
            return PollOutcome::TimedOut;
        }
        if (errno != EINTR) {
            return PollOutcome::Failed;
        }
    }
}

Deadline TotalLimit(uint32_t multiplier, uint32_t constant, uint32_t count) {
    if (multiplier == 0 && constant == 0) {
        return Deadline::Never();
    }
    return Deadline::AfterMs(static_cast<uint64_t>(multiplier) * count + constant);
}

class PosixEventWait;

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
            return {TOpenResult::Busy, {}};
        }
        ::ioctl(fd, TIOCEXCL);
        m_fd = fd;
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
        // Exclusive mode outlives this descriptor on a tty that stays open elsewhere.
        ::ioctl(m_fd, TIOCNXCL);
        ::close(m_fd);
        m_fd = -1;
    }

    bool HasDevice() const override { return m_fd >= 0; }

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

    std::unique_ptr<IEventWait> NewEventWait() override;

  private:
    static TOpenStatus OpenError(int error) {
        switch (error) {
            case ENOENT:
            case ENODEV:
            case ENXIO:
            case ENOTDIR:
                return {TOpenResult::NotFound, {}};
            case EACCES:
            case EPERM:
                return {TOpenResult::PermissionDenied, std::strerror(error)};
            case EBUSY:
                return {TOpenResult::Busy, {}};
            default:
                return {TOpenResult::OtherError, std::strerror(error)};
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

    friend class PosixEventWait;

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
};

// Linux has no single wait for line events: the descriptor is polled for the first byte of an
// empty input queue, and otherwise snapshots of the queue counts, the modem lines and the error
// counters are compared on a short tick. Nothing here reads the device, so a transfer on the main
// thread never loses a byte to the event thread.
class PosixEventWait final : public IEventWait {
  public:
    explicit PosixEventWait(PosixBackend& backend)
        : m_backend(backend), m_stopFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
        Take(m_last);
    }
    ~PosixEventWait() override {
        if (m_stopFd >= 0)
            ::close(m_stopFd);
    }
    PosixEventWait(const PosixEventWait&) = delete;
    PosixEventWait& operator=(const PosixEventWait&) = delete;

    void RequestStop() override {
        m_stopRequested.store(true);
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_stopFd, &one, sizeof one);
    }

    Result Wait(uint32_t& events) override {
        if (m_stopFd < 0 || m_backend.m_pokeFd < 0)
            return Result::WaitFailed;
        for (;;) {
            if (m_stopRequested.load())
                return Result::Stopped;
            Snapshot now;
            if (!Take(now))
                return Result::WaitFailed;
            const uint32_t occurred = Compare(m_last, now) & m_backend.m_eventMask.load();
            m_last = now;
            if (occurred != 0) {
                events = occurred;
                return Result::Occurred;
            }
            // The descriptor only tells of the first byte; POLLHUP would never stop telling.
            pollfd fds[3] = {{m_stopFd, POLLIN, 0},
                             {m_backend.m_pokeFd, POLLIN, 0},
                             {now.InQueue == 0 && !m_hungUp ? m_backend.m_fd : -1, POLLIN, 0}};
            const bool tick = m_hasModem || m_hasCounters || now.InQueue > 0 || now.OutQueue > 0;
            const int r = ::poll(fds, 3, tick ? kTickMs : -1);
            if (r < 0 && errno != EINTR)
                return Result::WaitFailed;
            if (fds[0].revents != 0)
                return Result::Stopped;
            if (fds[1].revents != 0) {
                uint64_t pokes = 0;
                [[maybe_unused]] const ssize_t n = ::read(m_backend.m_pokeFd, &pokes, sizeof pokes);
                if (m_backend.m_eventMask.load() == 0)
                    return Result::OccurredFailed;
            }
            if (fds[2].revents & (POLLHUP | POLLERR | POLLNVAL))
                m_hungUp = true;
        }
    }

  private:
    static constexpr int kTickMs = 2;

    struct Snapshot {
        int InQueue = 0;
        int OutQueue = 0;
        uint64_t Writes = 0;
        int Lines = 0;
        serial_icounter_struct Counters{};
    };

    bool Take(Snapshot& s) {
        const int fd = m_backend.m_fd;
        if (::ioctl(fd, FIONREAD, &s.InQueue) != 0)
            return false;
        if (::ioctl(fd, TIOCOUTQ, &s.OutQueue) != 0)
            s.OutQueue = 0;
        s.Writes = m_backend.m_writes.load();
        if (m_hasModem && ::ioctl(fd, TIOCMGET, &s.Lines) != 0)
            m_hasModem = false;
        if (m_hasCounters && ::ioctl(fd, TIOCGICOUNT, &s.Counters) != 0)
            m_hasCounters = false;
        return true;
    }

    uint32_t Compare(const Snapshot& was, const Snapshot& now) const {
        uint32_t ev = 0;
        if (now.InQueue > was.InQueue)
            ev |= kEvRxChar;
        if (now.OutQueue == 0 && (was.OutQueue > 0 || now.Writes != was.Writes))
            ev |= kEvTxEmpty;
        if (m_hasModem) {
            const int changed = now.Lines ^ was.Lines;
            if (changed & TIOCM_CTS)
                ev |= kEvCts;
            if (changed & TIOCM_DSR)
                ev |= kEvDsr;
            if (changed & TIOCM_CAR)
                ev |= kEvRlsd;
            if ((changed & TIOCM_RNG) && (now.Lines & TIOCM_RNG))
                ev |= kEvRing;
        }
        if (m_hasCounters) {
            const auto& a = was.Counters;
            const auto& b = now.Counters;
            if (a.frame != b.frame || a.parity != b.parity || a.overrun != b.overrun)
                ev |= kEvErr;
        }
        const int32_t size = m_backend.m_inQueueSize.load();
        if (size > 0) {
            const int64_t mark = static_cast<int64_t>(size) * 8 / 10;
            if (now.InQueue >= mark && was.InQueue < mark)
                ev |= kEvRx80Full;
        }
        return ev;
    }

    PosixBackend& m_backend;
    const int m_stopFd;
    std::atomic<bool> m_stopRequested{false};
    bool m_hasModem = true;
    bool m_hasCounters = true;
    bool m_hungUp = false;
    Snapshot m_last;
};

std::unique_ptr<IEventWait> PosixBackend::NewEventWait() {
    return std::make_unique<PosixEventWait>(*this);
}

}  // namespace

std::unique_ptr<ISerialBackend> MakePlatformBackend() {
    return std::make_unique<PosixBackend>();
}

}  // namespace velor
