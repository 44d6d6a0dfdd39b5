#include "cli/output/LatencyHint.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace velor::cli {

namespace {

#ifdef _WIN32
std::string LoweringAdvice(const std::string& port) {
    return "lower its latency timer: Device Manager, Ports (COM & LPT), " + port +
           ", Properties, Port Settings, Advanced, Latency Timer (msec): 1";
}
#else
// The usb-serial name behind the port (a by-id link leads to it), else a placeholder.
std::string UsbSerialName(const std::string& port) {
    std::error_code ec;
    const std::string name = std::filesystem::canonical(port, ec).filename().string();
    return !ec && name.rfind("ttyUSB", 0) == 0 ? name : "ttyUSBn";
}

std::string LoweringAdvice(const std::string& port) {
    return "lower its latency timer: echo 1 | sudo tee /sys/bus/usb-serial/devices/" +
           UsbSerialName(port) + "/latency_timer (until it is replugged)";
}
#endif

}  // namespace

std::string LatencyHint(std::optional<double> medianMs, const std::string& port) {
    if (!medianMs || *medianMs < kHeldReplyMs) {
        return {};
    }
    char median[32];
    std::snprintf(median, sizeof median, "%.1f", *medianMs);
    return std::string("Replies took ") + median +
           " ms each (median): the USB adapter holds them; " + LoweringAdvice(port);
}

}  // namespace velor::cli
