#pragma once
// The device's end of the serial line: the pty master, read and written no faster than a line at
// the given baud rate would carry the characters (10 bits each), or at once when unpaced.

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace devsim {

class PacedLine {
  public:
    using Clock = std::chrono::steady_clock;

    PacedLine(int fd, long baud);

    // Appends to out what the line has delivered by now.
    void Receive(std::string& out, Clock::time_point now);
    // When the last character taken so far finished arriving by the line's own clock (not when
    // the simulator got round to taking it); now when unpaced.
    Clock::time_point LastArrival(Clock::time_point now) const {
        return m_charTime.count() > 0 ? std::min(m_rxFree, now) : now;
    }
    // Queues bytes whose sending starts no earlier than at.
    void Send(std::string_view bytes, Clock::time_point at);
    // Writes what is due by now.
    void Flush(Clock::time_point now);

    // Whether input waits that is not yet due (then watching the descriptor for input would spin).
    bool InputHeldBack() const { return m_inputHeldBack; }
    bool OutputQueued() const { return !m_tx.empty(); }
    // The next moment at which a character is due in either direction.
    std::optional<Clock::time_point> NextDue() const;

  private:
    int Queued() const;

    int m_fd;
    Clock::duration m_charTime{};  // zero when unpaced
    Clock::time_point m_rxFree{};  // when the receiver has taken every character so far
    Clock::time_point m_txFree{};  // when the transmitter has sent every character so far
    bool m_rxIdle = true;
    bool m_inputHeldBack = false;
    std::size_t m_heldBack = 0;  // characters queued but not yet due at the last look
    // Each reply leaves in one piece once its last character would have arrived: written
    // character by character, a late wake-up of the simulator would open gaps in a reply that a
    // real line never has, and the host's 1 ms interval rule would cut the reply there.
    struct Pending {
        Clock::time_point due;
        std::string text;
    };
    std::deque<Pending> m_tx;
};

}  // namespace devsim
