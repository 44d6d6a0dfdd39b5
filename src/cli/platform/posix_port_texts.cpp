#include "cli/platform/PortTexts.h"

#include "cli/text/Translate.h"

namespace velor::cli {

const char* PortOptionHelp() {
    return Tr(
        "the serial port: an absolute path, a name under /dev, a /dev/serial/by-id path, or "
        "usb:VID:PID[:SERIAL] (IDs in hexadecimal, as 'velor-flash ports --long' shows them) "
        "for the one adapter that has them");
}

const char* PortsLongHelp() {
    return Tr(
        "add what tells the ports apart: the USB maker and product, their IDs (for --port "
        "usb:VID:PID[:SERIAL]), the serial number, the driver and the /dev/serial/by-id name");
}

const char* PortsListNote() {
    return Tr("The paths named in VELOR_EXTRA_PORTS (separated by \":\") are listed too.\n");
}

const char* NoPortDescription() {
    return "(nothing more is known)";
}

std::string MissingPortHint(const std::vector<std::string>& present) {
    if (present.empty()) {
        return "No serial port is present: is the adapter plugged in?";
    }
    std::string text = "The serial ports present:";
    for (const std::string& port : present) {
        text += " " + port;
    }
    return text + ".";
}

}  // namespace velor::cli
