#pragma once
// A scriptable backend for tests: it records every operation and fails whichever the test asks.
// The state is shared, so a test keeps its handle after handing the backend to a port.

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "serial/SerialBackend.h"

namespace velor::fake {

enum class Op {
    Open,
    SetupComm,
    SetCommState,
    SetCommTimeouts,
    EscapeCommFunction,
    PurgeComm,
    ClearCommError,
    GetCommModemStatus,
    StartWrite,
    StartRead,
    WaitIoBlock,
    GetIoResult,
    SetCommMask,
};

struct State {
    std::mutex Mutex;        // the event thread calls in too
    std::set<Op> Failing;    // every call of these fails
    TOpenStatus OpenAnswer;  // what a succeeding Open reports
    bool DeviceHeld = false;
    bool Gone = false;               // what DeviceGone answers: the device has left the line
    std::vector<std::string> Calls;  // "SetupComm 2048 2048", "EscapeCommFunction 6", ...

    TDcb Dcb;                  // the last block applied
    TDeviceTimeouts Timeouts;  // the last timeouts applied
    std::string Written;       // every byte written
    std::string Input;         // bytes a read takes from the front
    uint32_t ErrorFlags = 0;   // reported and cleared by ClearCommError
    uint32_t ModemStatus = 0;
    bool TransfersPend = false;  // starts report pending; the await completes them
    int LiveIoBlocks = 0;        // request blocks not yet released

    // Line events: each wait takes the front entry, or blocks until one is pushed or it stops.
    struct Event {
        IEventWait::Result Result = IEventWait::Result::Occurred;
        uint32_t Codes = 0;
    };
    std::deque<Event> Events;
    std::condition_variable EventsChanged;
    int WaitsStarted = 0;      // how many waits began, for a test to know the thread waits again
    bool NoEventWait = false;  // NewEventWait gives none

    // Queues an event for the event thread (locks the mutex itself).
    void PushEvent(uint32_t codes, IEventWait::Result result = IEventWait::Result::Occurred);

    bool Fails(Op op) const { return Failing.count(op) != 0; }
    // The names of the logged calls, without their arguments.
    std::vector<std::string> CallNames() const;
};

std::unique_ptr<ISerialBackend> MakeBackend(std::shared_ptr<State> state);

}  // namespace velor::fake
