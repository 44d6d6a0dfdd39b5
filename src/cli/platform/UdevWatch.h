#pragma once
// Linux: tells when udev announces a tty device added or removed (a USB adapter plugged in or
// out), from libudev's monitor. Where no udev daemon runs (a container) the monitor opens and
// stays silent; the station's inotify watch and its polling still find the ports.

#include <memory>

struct udev;
struct udev_monitor;

namespace velor::cli {

class UdevWatch {
  public:
    UdevWatch();
    ~UdevWatch();
    UdevWatch(const UdevWatch&) = delete;
    UdevWatch& operator=(const UdevWatch&) = delete;

    // Readable while an event waits; -1 when no monitor could be made.
    int Descriptor() const;
    // Takes every event waiting, without blocking; true when there was one.
    bool TakeEvents();

  private:
    struct UdevFree {
        void operator()(udev* u) const;
    };
    struct MonitorFree {
        void operator()(udev_monitor* m) const;
    };
    std::unique_ptr<udev, UdevFree> m_udev;
    std::unique_ptr<udev_monitor, MonitorFree> m_monitor;
};

}  // namespace velor::cli
