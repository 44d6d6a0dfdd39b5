#include <poll.h>

#include <cerrno>

#include "serial/platform/PollDeadline.h"

namespace velor {

PollOutcome PollUntil(int fd, short events, const Deadline& deadline, short* revents) {
    for (;;) {
        pollfd p{fd, events, 0};
        timespec ts{};
        timespec* tsp = nullptr;
        if (const auto left = deadline.Remaining()) {
            if (*left == std::chrono::nanoseconds::zero()) {
                return PollOutcome::TimedOut;
            }
            ts.tv_sec = static_cast<time_t>(left->count() / 1'000'000'000);
            ts.tv_nsec = static_cast<long>(left->count() % 1'000'000'000);
            tsp = &ts;
        }
        const int r = ppoll(&p, 1, tsp, nullptr);
        if (r > 0) {
            if (revents != nullptr)
                *revents = p.revents;
            return PollOutcome::Ready;
        }
        if (r == 0) {
            return PollOutcome::TimedOut;
        }
        if (errno != EINTR) {
            return PollOutcome::Failed;
        }
    }
}

Deadline TotalLimit(uint32_t multiplier, uint32_t constant, uint32_t count) {
    if (multiplier == 0 && constant == 0) {
        return Deadline::Never();
    }
    return Deadline::AfterMs(static_cast<uint64_t>(multiplier) * count + constant);
}

}  // namespace velor
