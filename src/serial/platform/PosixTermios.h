#pragma once
// The pure parts of the POSIX backend: where a port name leads, and how the line settings block
// maps onto the kernel's termios2. Uses the kernel's own termios2, so this header must not meet
// <termios.h>.

#include <asm/termbits.h>

#include <string>

#include "serial/LineSettings.h"

namespace velor::posix {

// An absolute path as it stands, any other name below /dev ("ttyUSB0" -> "/dev/ttyUSB0").
std::string DevicePath(const std::string& port);

// Puts t into raw mode with the block's rate, data bits, parity, stop bits and flow control.
// False, with t untouched, for a block the hardware cannot give: a zero rate, data bits outside
// 5..8, an unknown parity or stop-bit code, 1.5 stop bits with more than 5 data bits, or 2 stop
// bits with 5 data bits (a UART then gives 1.5).
bool DcbToTermios(const TDcb& dcb, struct termios2& t);

}  // namespace velor::posix
