#pragma once
// Everything a device operation works on, owned by the session (or the window) that runs it.

#include "app/Host.h"
#include "app/MainWindowModel.h"
#include "protocol/DeviceInfo.h"
#include "protocol/DeviceLink.h"
#include "protocol/ProtocolBuffers.h"
#include "protocol/StopRequest.h"
#include "serial/TBComPort.h"

namespace velor {

struct DeviceContext {
    MainWindowModel& form;
    IHost& host;
    TBComPort& port;
    ProtocolBuffers& buffers;
    DeviceInfo& info;
    DeviceLink& link;
    const StopRequest& stop;
};

}  // namespace velor
