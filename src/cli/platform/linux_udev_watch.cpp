#include <libudev.h>

#include "cli/platform/UdevWatch.h"

namespace velor::cli {

void UdevWatch::UdevFree::operator()(udev* u) const {
    udev_unref(u);
}

void UdevWatch::MonitorFree::operator()(udev_monitor* m) const {
    udev_monitor_unref(m);
}

UdevWatch::UdevWatch() : m_udev(udev_new()) {
    if (!m_udev) {
        return;
    }
    m_monitor.reset(udev_monitor_new_from_netlink(m_udev.get(), "udev"));
    if (!m_monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(m_monitor.get(), "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor.get()) < 0) {
        m_monitor.reset();
    }
}

UdevWatch::~UdevWatch() = default;

int UdevWatch::Descriptor() const {
    return m_monitor ? udev_monitor_get_fd(m_monitor.get()) : -1;
}

bool UdevWatch::TakeEvents() {
    bool any = false;
    // The monitor's socket does not block: nullptr when nothing more waits.
    while (udev_device* device =
               m_monitor ? udev_monitor_receive_device(m_monitor.get()) : nullptr) {
        udev_device_unref(device);
        any = true;
    }
    return any;
}

}  // namespace velor::cli
