#pragma once
// What a session handle holds: where it writes, who listens, whether an operation runs (and on
// which thread), its stop request and what its last operation left.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "lib/Handles.h"
#include "protocol/SessionEvents.h"
#include "velor/velor.h"

namespace velor::lib {

struct SessionBody {
    std::string port;
    int baudIndex = 0;

    velor_event_fn callback = nullptr;
    void* user = nullptr;

    std::atomic<bool> closed{false};
    std::atomic<bool> running{false};
    std::atomic<std::thread::id> runner{};  // the thread of the running operation
    std::atomic<bool> stop{false};

    // What the last operation left; written at its end under the mutex.
    mutable std::mutex resultMutex;
    velor_outcome outcome{VELOR_OUTCOME_NONE, VELOR_REASON_DONE, 0, 0, 0, 0, 0, 0, 0, 0};
    std::string message;
    bool identified = false;
    DeviceIdentified device;
};

}  // namespace velor::lib

struct velor_session : velor::lib::Handle<velor::lib::SessionBody> {
    using Handle::Handle;
};
