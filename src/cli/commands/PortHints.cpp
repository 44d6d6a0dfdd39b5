#include "cli/commands/PortHints.h"

#include "cli/text/Translate.h"

namespace velor::cli {

namespace {

constexpr const char* kModemManagerHint =
    "ModemManager probes new ttyACM ports for modems and holds them for a while: wait a few "
    "seconds and try again, or keep it off the adapter (udev ENV{ID_MM_DEVICE_IGNORE}=\"1\", or "
    "'systemctl stop ModemManager').";

}  // namespace

std::string BusyPortHint(const std::string& port, const std::vector<PortHolder>& holders) {
    if (holders.empty()) {
        return port.find("ttyACM") != std::string::npos
                   ? std::string("Another program holds the port. ") + kModemManagerHint
                   : std::string();
    }
    std::string text = "The port is held by ";
    bool modemManager = false;
    for (std::size_t i = 0; i < holders.size(); ++i) {
        if (i != 0) {
            text += ", ";
        }
        text += (holders[i].Program.empty() ? std::string("a program") : holders[i].Program) +
                " (pid " + std::to_string(holders[i].Pid) + ")";
        modemManager = modemManager || holders[i].Program == "ModemManager";
    }
    text += ".";
    if (modemManager) {
        text += std::string(" ") + kModemManagerHint;
    }
    return text;
}

std::string NotASerialPortHint(const std::string& port) {
    return port +
           " is not a serial port: it takes no line settings. 'velor-flash ports' lists "
           "the serial ports.";
}

std::string NoPermissionLine(const std::string& port) {
    return port + Tr(": permission denied. The port is not busy: this user may not open it.");
}

std::string MissingPortLine(const std::string& port, const std::string& presentHint) {
    return "There is no port " + port + ". " + presentHint + " ('velor-flash ports' lists them.)";
}

}  // namespace velor::cli
