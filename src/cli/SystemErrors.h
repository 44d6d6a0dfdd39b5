#pragma once
// The errors the window would show in its error box, as velor-flash reports them: the message on
// stderr and an exit code.

#include <functional>

#include "app/Host.h"

namespace velor::cli {

// Runs operation and returns its exit code; an EComPort becomes kExitPortError, a conversion,
// range or file error kExitRefused, each after its error text was shown.
int ExitCodeOfErrors(IHost& host, const std::function<int()>& operation);

}  // namespace velor::cli
