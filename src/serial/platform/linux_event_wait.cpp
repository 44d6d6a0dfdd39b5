// The event wait of the Linux backend: eventfd wake-ups, poll, and the ioctl counters.

#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "serial/ComEvents.h"
#include "serial/platform/LinuxEventWait.h"

namespace velor {
namespace {

// Linux has no single wait for line events: the descriptor is polled for the first byte of an
// empty input queue, and otherwise snapshots of the queue counts, the modem lines and the error
// counters are compared on a short tick. Nothing here reads the device, so a transfer on the main
// thread never loses a byte to the event thread.
class PosixEventWait final : public IEventWait {
  public:
    explicit PosixEventWait(const EventWaitSources& sources)
        : m_sources(sources), m_stopFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
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
        if (m_stopFd < 0 || m_sources.pokeFd < 0)
            return Result::WaitFailed;
        for (;;) {
            if (m_stopRequested.load())
                return Result::Stopped;
            Snapshot now;
            if (!Take(now))
                return Result::WaitFailed;
            const uint32_t occurred = Compare(m_last, now) & m_sources.eventMask.load();
            m_last = now;
            if (occurred != 0) {
                events = occurred;
                return Result::Occurred;
            }
            // The descriptor only tells of the first byte; POLLHUP would never stop telling.
            pollfd fds[3] = {{m_stopFd, POLLIN, 0},
                             {m_sources.pokeFd, POLLIN, 0},
                             {now.InQueue == 0 && !m_hungUp ? m_sources.fd : -1, POLLIN, 0}};
            const bool tick = m_hasModem || m_hasCounters || now.InQueue > 0 || now.OutQueue > 0;
            const int r = ::poll(fds, 3, tick ? kTickMs : -1);
            if (r < 0 && errno != EINTR)
                return Result::WaitFailed;
            if (fds[0].revents != 0)
                return Result::Stopped;
            if (fds[1].revents != 0) {
                uint64_t pokes = 0;
                [[maybe_unused]] const ssize_t n = ::read(m_sources.pokeFd, &pokes, sizeof pokes);
                if (m_sources.eventMask.load() == 0)
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
        const int fd = m_sources.fd;
        if (::ioctl(fd, FIONREAD, &s.InQueue) != 0)
            return false;
        if (::ioctl(fd, TIOCOUTQ, &s.OutQueue) != 0)
            s.OutQueue = 0;
        s.Writes = m_sources.writes.load();
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
        const int32_t size = m_sources.inQueueSize.load();
        if (size > 0) {
            const int64_t mark = static_cast<int64_t>(size) * 8 / 10;
            if (now.InQueue >= mark && was.InQueue < mark)
                ev |= kEvRx80Full;
        }
        return ev;
    }

    const EventWaitSources m_sources;
    const int m_stopFd;
    std::atomic<bool> m_stopRequested{false};
    bool m_hasModem = true;
    bool m_hasCounters = true;
    bool m_hungUp = false;
    Snapshot m_last;
};

}  // namespace

std::unique_ptr<IEventWait> MakeLinuxEventWait(const EventWaitSources& sources) {
    return std::make_unique<PosixEventWait>(sources);
}

}  // namespace velor
