#pragma once
// The POSIX backend's waits on a descriptor under the device timeouts.

#include <cstdint>

#include "serial/Deadline.h"

namespace velor {

enum class PollOutcome { Ready, TimedOut, Failed };

// Waits until fd is ready for events or the deadline passes; Ready also when hung up. A signal
// does not end the wait early.
PollOutcome PollUntil(int fd, short events, const Deadline& deadline, short* revents = nullptr);

// The whole transfer's limit from the device's total timeouts; none when both are zero.
Deadline TotalLimit(uint32_t multiplier, uint32_t constant, uint32_t count);

}  // namespace velor
