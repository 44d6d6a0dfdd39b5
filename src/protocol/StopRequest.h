#pragma once
// A stop asked for from outside the window (velor-flash's Ctrl+C). Unlike the stop key, which
// only sets a flag the flashing tests at a few points, it is honoured in every phase before the
// next command goes out. Each session holds its own, so one process can run several devices.

#include <functional>

namespace velor {

class StopRequest {
  public:
    // probe answers whether a stop has been asked for; empty: never (the window).
    void SetProbe(std::function<bool()> probe) { m_probe = std::move(probe); }
    bool Requested() const { return m_probe && m_probe(); }

  private:
    std::function<bool()> m_probe;
};

}  // namespace velor
