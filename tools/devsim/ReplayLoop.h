#pragma once
// velor-devsim --replay: plays the device's side of a recorded trace. Each frame the host sends
// is compared with the recording, byte for byte; the recorded reply bytes follow after their
// recorded delay, what was lost stays lost, and where the device left the line it leaves again.
// A frame that differs is a divergence, reported with both frames; the replay goes on with the
// recording.

#include <chrono>
#include <deque>
#include <string>

#include "ReplayScript.h"
#include "SimIo.h"

namespace devsim {

class ReplayLoop {
  public:
    using Clock = std::chrono::steady_clock;

    ReplayLoop(const ReplayScript& script, int master, Log& log);

    // Serves until stopSignals turns readable or the recording unplugs the device; false, with
    // error set, when polling fails.
    bool Run(int stopSignals, std::string& error);

    long Divergences() const { return m_divergences; }
    // "replayed N of M frames" and the divergences.
    std::string Summary() const;

  private:
    struct Due {
        Clock::time_point at;
        ReplayAnswer answer;
    };
    void Take(const std::string& bytes, Clock::time_point now);
    void FrameDone(Clock::time_point now);
    void Diverged(const std::string& expected, long line);
    void SendDue(Clock::time_point now);

    const ReplayScript& m_script;
    int m_master;
    Log& m_log;
    std::size_t m_step = 0;  // the frame expected next
    std::string m_got;       // of it so far
    bool m_astray = false;   // the frame differs: taken up to its ';'
    std::deque<Due> m_due;
    long m_divergences = 0;
    bool m_unplugged = false;
    bool m_hostPresent = false;
};

}  // namespace devsim
