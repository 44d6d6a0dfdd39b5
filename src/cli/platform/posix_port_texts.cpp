#include "cli/platform/PortTexts.h"

namespace velor::cli {

const char* PortOptionHelp() {
    return "  --port P      the serial port: an absolute path, a name under /dev, a\n"
           "                /dev/serial/by-id path, or usb:VID:PID[:SERIAL] (IDs in hexadecimal, "
           "as\n"
           "                'velor-flash ports --long' shows them) for the one adapter that has "
           "them\n";
}

const char* PortsLongHelp() {
    return "  --long   add what tells the ports apart: the USB maker and product, their IDs\n"
           "           (for --port usb:VID:PID[:SERIAL]), the serial number, the driver and the\n"
           "           /dev/serial/by-id name\n"
           "The paths named in VELOR_EXTRA_PORTS (separated by \":\") are listed too.\n";
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
