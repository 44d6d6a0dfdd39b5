#pragma once
// Wakes the station's main loop when a port may have come or gone, so that a device plugged in
// is taken at once: on Linux udev's monitor and inotify on /dev and the folders of
// VELOR_EXTRA_PORTS, on Windows the system's device-change notifications. Where none arrives (a
// pty, a port Wine maps from its registry) the station's own polling still finds the ports.

#include <atomic>
#include <chrono>
#include <memory>

namespace velor::cli {

class PortEvents {
  public:
    PortEvents();
    ~PortEvents();
    PortEvents(const PortEvents&) = delete;
    PortEvents& operator=(const PortEvents&) = delete;

    // Sleeps up to `longest`, less when a port comes or goes; each such wake counts in `changes`.
    void Wait(std::atomic<unsigned>& changes,
              std::chrono::milliseconds longest = std::chrono::milliseconds(100));

  private:
    struct Watches;
    std::unique_ptr<Watches> m_watches;
};

}  // namespace velor::cli
