#pragma once
// The wait for line events on Linux, apart from the backend whose descriptor it watches.

#include <atomic>
#include <cstdint>
#include <memory>

#include "serial/SerialBackend.h"

namespace velor {

// What the wait reads of its backend, live: the backend owns all of it and outlives the wait.
struct EventWaitSources {
    const int& fd;                            // the device; -1 while closed
    int pokeFd;                               // an eventfd written after a write or a new mask
    const std::atomic<uint64_t>& writes;      // completed writes, for the transmit-empty event
    const std::atomic<uint32_t>& eventMask;   // the events asked for
    const std::atomic<int32_t>& inQueueSize;  // sets the "80% full" mark
};

std::unique_ptr<IEventWait> MakeLinuxEventWait(const EventWaitSources& sources);

}  // namespace velor
