#pragma once
// How every device operation takes hold of the port the operator chose.

#include "app/MainWindowModel.h"
#include "serial/TBComPort.h"

namespace velor {

// The settings the main window gives its port before it is ever opened: all five timeouts 1 ms,
// so a read of n characters waits at most n + 1 ms and ends 1 ms after the last one.
void ApplyFormSettings(TBComPort& port);

// The rate of a baud list index; no selection (or an index outside the 15 rates) means 115200.
TBaudRate BaudRateForIndex(int itemIndex);

// ClosePort; Port := cbPort's text, BaudRate := cbBaudRate's index; OpenPort (raises EComPort).
void OpenChosenPort(TBComPort& port, const MainWindowModel& form);

}  // namespace velor
