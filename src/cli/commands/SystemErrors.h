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
// What the terminal adds to a port error's message, which stays as the window has it: a line
// before it where the message's first line does not fit the case, and a line after it.
struct PortErrorLines {
    std::string before;
    std::string after;
};

// The same, with the lines that portHint gives for a port error (what holds the port).
int ExitCodeOfErrors(IHost& host, const std::function<PortErrorLines(const EComPort&)>& portHint,
                     const std::function<int()>& operation);

}  // namespace velor::cli
