#pragma once
// Which answers of the Linux modem-line calls (TIOCMGET, TIOCMBIS, TIOCMBIC) mean "this device has
// no modem lines" (taken as all lines off) rather than a failure.

#include <cerrno>
#include <string>

namespace velor::posix {

// ENOTTY is the tty core's answer for a driver without modem lines (a pseudo-terminal, a socat
// link). EINVAL is accepted only from usb-serial adapters (/dev/ttyUSB*), whose core answered so
// for a driver without modem-line support before it switched to ENOTTY; from any other device
// EINVAL is a refused request and reported as the failure it is.
inline bool NoModemLinesAnswer(int error, bool usbSerialDriver) {
    return error == ENOTTY || (error == EINVAL && usbSerialDriver);
}

// Whether the device node (after links) is served by the usb-serial core.
inline bool IsUsbSerialNode(const std::string& resolvedPath) {
    const auto slash = resolvedPath.find_last_of('/');
    const std::string name =
        slash == std::string::npos ? resolvedPath : resolvedPath.substr(slash + 1);
    return name.rfind("ttyUSB", 0) == 0;
}

}  // namespace velor::posix
