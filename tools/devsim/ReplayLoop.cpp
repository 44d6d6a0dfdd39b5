#include "ReplayLoop.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace devsim {

namespace {

constexpr std::size_t kStrayFrameLimit = 4096;  // a host frame that never ends is cut here
constexpr long kDivergencesShown = 20;

std::string Shown(const std::string& bytes) {
    std::string out = "\"";
    for (const unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out + "\"";
}

}  // namespace

ReplayLoop::ReplayLoop(const ReplayScript& script, int master, Log& log)
    : m_script(script), m_master(master), m_log(log) {}

void ReplayLoop::Diverged(const std::string& expected, long line) {
    ++m_divergences;
    if (m_divergences <= kDivergencesShown) {
        std::fprintf(stderr,
                     "velor-devsim: divergence at trace line %ld: the host sent %s, the "
                     "recording has %s\n",
                     line, Shown(m_got).c_str(), Shown(expected).c_str());
    }
    m_log.Line("diverged", m_got);
}

void ReplayLoop::FrameDone(Clock::time_point now) {
    m_log.Line("rx", m_got);
    for (const ReplayAnswer& answer : m_script.steps[m_step].answers) {
        m_due.push_back(Due{now + std::chrono::microseconds(answer.delayUs), answer});
    }
    ++m_step;
    m_got.clear();
    m_astray = false;
}

void ReplayLoop::Take(const std::string& bytes, Clock::time_point now) {
    for (const char c : bytes) {
        if (m_unplugged) {
            return;
        }
        m_got += c;
        if (m_step >= m_script.steps.size()) {
            // Past the recording: nothing answers; said once per frame.
            if (c == ';' || m_got.size() >= kStrayFrameLimit) {
                Diverged("(the recording ends)", 0);
                m_got.clear();
            }
            continue;
        }
        const ReplayStep& step = m_script.steps[m_step];
        if (!m_astray) {
            const std::size_t at = m_got.size() - 1;
            if (at < step.frame.size() && step.frame[at] == c) {
                if (m_got.size() == step.frame.size()) {
                    FrameDone(now);
                }
                continue;
            }
            m_astray = true;
        }
        // A frame that differs ends at its ';': answered as the recorded one was.
        if (c == ';' || m_got.size() >= kStrayFrameLimit) {
            Diverged(step.frame, step.line);
            FrameDone(now);
        }
    }
}

void ReplayLoop::SendDue(Clock::time_point now) {
    while (!m_due.empty() && m_due.front().at <= now && !m_unplugged) {
        const ReplayAnswer& answer = m_due.front().answer;
        if (answer.unplug) {
            m_log.Line("unplug", "");
            m_unplugged = true;
        } else {
            m_log.Line("tx", answer.bytes);
            std::size_t sent = 0;
            while (sent < answer.bytes.size()) {
                const ssize_t n =
                    write(m_master, answer.bytes.data() + sent, answer.bytes.size() - sent);
                if (n > 0) {
                    sent += static_cast<std::size_t>(n);
                } else if (n < 0 && errno == EAGAIN) {
                    pollfd out{m_master, POLLOUT, 0};
                    poll(&out, 1, 10);
                } else if (n < 0 && errno != EINTR) {
                    break;  // nobody on the line: what was sent is lost, as on a wire
                }
            }
        }
        m_due.pop_front();
    }
}

bool ReplayLoop::Run(int stopSignals, std::string& error) {
    for (;;) {
        auto now = Clock::now();
        for (char buffer[4096];;) {
            const ssize_t n = read(m_master, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            Take(std::string(buffer, static_cast<std::size_t>(n)), now);
        }
        now = Clock::now();
        SendDue(now);
        if (m_unplugged) {
            m_log.Flush();
            return true;
        }
        int timeoutMs = -1;
        if (!m_due.empty()) {
            const auto left =
                std::chrono::duration_cast<std::chrono::microseconds>(m_due.front().at - now)
                    .count();
            timeoutMs = left <= 0 ? 0 : static_cast<int>((left + 999) / 1000);
        }
        pollfd watch[2] = {{stopSignals, POLLIN, 0}, {m_master, POLLIN, 0}};
        nfds_t count = 2;
        if (!m_hostPresent) {
            // A hung-up master polls ready at once: look again shortly instead of spinning.
            timeoutMs = timeoutMs < 0 ? 2 : std::min(timeoutMs, 2);
            count = 1;
        }
        if (poll(watch, count, timeoutMs) < 0 && errno != EINTR) {
            error = std::string("poll: ") + std::strerror(errno);
            return false;
        }
        if (!m_hostPresent || (watch[1].revents & POLLHUP)) {
            pollfd probe{m_master, POLLIN, 0};
            m_hostPresent = poll(&probe, 1, 0) >= 0 && !(probe.revents & POLLHUP);
        }
        if (watch[0].revents & POLLIN) {
            m_log.Flush();
            return true;
        }
    }
}

std::string ReplayLoop::Summary() const {
    return "replayed " + std::to_string(m_step) + " of " + std::to_string(m_script.steps.size()) +
           " frames, " + std::to_string(m_divergences) +
           (m_divergences == 1 ? " divergence" : " divergences") +
           (m_unplugged ? "; the device left the line as recorded" : "");
}

}  // namespace devsim
