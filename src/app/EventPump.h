#pragma once
// Hands the window system a turn from inside long work, at most about every 16 ms of work, so that
// a million fixed points cost a few dozen event-loop passes instead of a million.

#include <chrono>

#include "app/Host.h"

namespace velor {

// About one frame of a 60 Hz screen: the window stays fluid, the work barely slows.
inline constexpr std::chrono::milliseconds kEventBudget{16};

class EventPump {
  public:
    explicit EventPump(IHost& host, std::chrono::milliseconds budget = kEventBudget)
        : m_host(host), m_budget(budget), m_last(Clock::now()) {}

    // A fixed point of the work: processes pending events when the budget has run out.
    void Tick() {
        const auto now = Clock::now();
        if (now - m_last >= m_budget) {
            m_host.ProcessEvents();
            m_last = Clock::now();
        }
    }
    // Processes pending events now, whatever the budget.
    void Flush() {
        m_host.ProcessEvents();
        m_last = Clock::now();
    }

  private:
    using Clock = std::chrono::steady_clock;
    IHost& m_host;
    std::chrono::milliseconds m_budget;
    Clock::time_point m_last;
};

}  // namespace velor
