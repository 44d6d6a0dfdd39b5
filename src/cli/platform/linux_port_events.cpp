#include <poll.h>

#include "cli/platform/PortEvents.h"
#include "cli/platform/UdevWatch.h"
#include "serial/PortWatch.h"

namespace velor::cli {

// udev's events tell of an adapter plugged in or out; inotify's of a link to a terminal, which
// needs no udev daemon (a container has none).
struct PortEvents::Watches {
    UdevWatch udev;
    std::unique_ptr<PortWatch> files = PortWatch::FromSystem();
};

PortEvents::PortEvents() : m_watches(std::make_unique<Watches>()) {}

PortEvents::~PortEvents() = default;

void PortEvents::Wait(std::atomic<unsigned>& changes, std::chrono::milliseconds longest) {
    PortWatch* files = m_watches->files.get();
    pollfd entries[2] = {{m_watches->udev.Descriptor(), POLLIN, 0},
                         {files ? files->Descriptor() : -1, POLLIN, 0}};
    if (poll(entries, 2, static_cast<int>(longest.count())) > 0) {
        const bool plugged = m_watches->udev.TakeEvents();
        if ((files && files->TakeChanges()) || plugged) {
            ++changes;
        }
    }
}

}  // namespace velor::cli
