#include "PacedLine.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace devsim {

PacedLine::PacedLine(int fd, long baud) : m_fd(fd) {
    if (baud > 0) {
        m_charTime = std::chrono::duration_cast<Clock::duration>(
            std::chrono::nanoseconds(static_cast<long long>(10'000'000'000LL / baud)));
    }
}

int PacedLine::Queued() const {
    int n = 0;
    if (ioctl(m_fd, FIONREAD, &n) != 0) {
        return 0;
    }
    return n;
}

void PacedLine::Receive(std::string& out, Clock::time_point now) {
    m_inputHeldBack = false;
    const int queued = Queued();
    if (queued <= 0) {
        m_rxIdle = true;
        return;
    }
    std::size_t allowed = static_cast<std::size_t>(queued);
    if (m_charTime.count() > 0) {
        if (m_rxIdle) {
            // The first character of a burst starts down the line now.
            m_rxFree = std::max(m_rxFree, now);
            m_rxIdle = false;
        }
        const auto due =
            now >= m_rxFree ? static_cast<std::size_t>((now - m_rxFree) / m_charTime) : 0;
        allowed = std::min(allowed, due);
        m_heldBack = static_cast<std::size_t>(queued) - allowed;
        m_inputHeldBack = m_heldBack > 0;
    }
    char buffer[4096];
    allowed = std::min(allowed, sizeof buffer);
    if (allowed == 0) {
        return;
    }
    const ssize_t r = read(m_fd, buffer, allowed);
    if (r > 0) {
        out.append(buffer, static_cast<std::size_t>(r));
        m_rxFree += m_charTime * r;
        // Everything queued is taken: whatever comes next starts a new burst on the line.
        m_rxIdle = r == queued;
    }
}

void PacedLine::Send(std::string_view bytes, Clock::time_point at) {
    m_txFree = std::max(m_txFree, at) + m_charTime * static_cast<long>(bytes.size());
    m_tx.push_back({m_txFree, std::string(bytes)});
}

void PacedLine::Flush(Clock::time_point now) {
    while (!m_tx.empty() && m_tx.front().due <= now) {
        auto& head = m_tx.front();
        const ssize_t w = write(m_fd, head.text.data(), head.text.size());
        if (w < 0 && (errno == EAGAIN || errno == EINTR)) {
            return;  // the host's input queue is full: try again when it drains
        }
        if (w > 0 && static_cast<std::size_t>(w) < head.text.size()) {
            head.text.erase(0, static_cast<std::size_t>(w));
            return;
        }
        m_tx.pop_front();  // written, or nobody listens and it is lost
    }
}

std::optional<PacedLine::Clock::time_point> PacedLine::NextDue() const {
    std::optional<Clock::time_point> next;
    if (m_charTime.count() == 0) {
        return next;
    }
    if (m_inputHeldBack) {
        // Everything waiting is taken in one wake-up when its last character is due: a wake-up
        // per character costs eight simulators more processor time than the hosts they serve.
        // The host sends a frame and waits for its answer, so no frame ends inside the batch.
        next = m_rxFree + m_charTime * static_cast<long>(m_heldBack);
    }
    if (!m_tx.empty()) {
        const auto tx = m_tx.front().due;
        next = next ? std::min(*next, tx) : tx;
    }
    return next;
}

}  // namespace devsim
