#pragma once
// Everything a device operation works on, owned by the session (or the window) that runs it.

#include "app/Host.h"
#include "app/MainWindowModel.h"
#include "protocol/DeviceInfo.h"
#include "protocol/DeviceLink.h"
#include "protocol/ProtocolBuffers.h"
#include "protocol/SessionEvents.h"
#include "protocol/StopRequest.h"
#include "serial/TBComPort.h"

namespace velor {

// The message that stated how the running operation ends, noted where it is shown.
struct OutcomeNote {
    OutcomeReason Reason = OutcomeReason::Done;
    std::string Message;
    std::string Headline;
    bool Noted = false;
};

struct DeviceContext {
    MainWindowModel& form;
    IHost& host;
    TBComPort& port;
    ProtocolBuffers& buffers;
    DeviceInfo& info;
    DeviceLink& link;
    const StopRequest& stop;
    ISessionEvents& events;
    OutcomeNote& note;
};

// Shows the message that states the outcome and notes it for the operation's end event. headline:
// the line that names the result, when the message says more than that.
void ShowOutcome(DeviceContext& c, OutcomeReason reason, const std::string& message,
                 const std::string& headline = {});

}  // namespace velor
