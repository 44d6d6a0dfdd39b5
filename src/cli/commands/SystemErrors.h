#pragma once
// The errors the window would show in its error box, as velor-flash reports them: the message on
// stderr and an exit code.

#include <functional>

#include <string>

#include "app/Host.h"
#include "serial/EComPort.h"

namespace velor::cli {

// Runs operation and returns its exit code; an EComPort becomes kExitPortError, a conversion,
// range or file error kExitRefused, each after its error text was shown.
int ExitCodeOfErrors(IHost& host, const std::function<int()>& operation);
// The same, with a line that portHint may add to a port error's text (what holds the port).
int ExitCodeOfErrors(IHost& host, const std::function<std::string(const EComPort&)>& portHint,
                     const std::function<int()>& operation);

}  // namespace velor::cli
