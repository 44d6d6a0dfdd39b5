#pragma once
// Tells a window when the ports present may have changed: a device node appearing in or leaving
// /dev, or a terminal's link in a folder that VELOR_EXTRA_PORTS names. On Linux inotify on those
// folders: it needs no udev daemon (a container has none). A Windows window hears
// WM_DEVICECHANGE instead.

#include <memory>
#include <string>
#include <vector>

namespace velor {

class PortWatch {
  public:
    explicit PortWatch(const std::vector<std::string>& folders);
    // /dev, /dev/serial/by-id and the folders of VELOR_EXTRA_PORTS.
    static std::unique_ptr<PortWatch> FromSystem();
    ~PortWatch();
    PortWatch(const PortWatch&) = delete;
    PortWatch& operator=(const PortWatch&) = delete;

    // Readable while a change waits; -1 when nothing could be watched.
    int Descriptor() const { return m_fd; }
    // Takes every change waiting, without blocking; true when there was one.
    bool TakeChanges();

  private:
    int m_fd = -1;
};

}  // namespace velor
