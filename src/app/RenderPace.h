#pragma once
// How often a window shows its model at the turns a device operation hands it. A write hands one
// at each of its ~2,100 exchanges, about every 10 ms on the line; showing the model at each cost
// the window more per exchange than the host's whole turn of velor-flash (every changed text,
// gauge and bar goes through the window system, and under Wine through its server). At most
// 25 renders a second still move the gauge smoothly; a turn between them only serves the queue
// (keys, clicks, the port's notices). Message boxes and the end of a handler render regardless.

#include <chrono>

namespace velor {

inline constexpr std::chrono::milliseconds kRenderInterval{40};

class RenderPace {
  public:
    explicit RenderPace(std::chrono::milliseconds interval = kRenderInterval)
        : m_interval(interval) {}

    // True when this turn renders: the first one, and any one at least the interval after the
    // last turn that rendered.
    bool TurnRenders() {
        const auto now = Clock::now();
        if (m_rendered && now - m_last < m_interval) {
            return false;
        }
        m_rendered = true;
        m_last = now;
        return true;
    }

  private:
    using Clock = std::chrono::steady_clock;
    std::chrono::milliseconds m_interval;
    bool m_rendered = false;
    Clock::time_point m_last;
};

}  // namespace velor
