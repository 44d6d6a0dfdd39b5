#include <thread>

#include "cli/platform/PortEvents.h"

namespace velor::cli {

// No event source here: the station's polling finds every port.
struct PortEvents::Watches {};

PortEvents::PortEvents() = default;

PortEvents::~PortEvents() = default;

void PortEvents::Wait(std::atomic<unsigned>&, std::chrono::milliseconds longest) {
    std::this_thread::sleep_for(longest);
}

}  // namespace velor::cli
