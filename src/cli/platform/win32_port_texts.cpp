#include "cli/platform/PortTexts.h"

#include "cli/text/Translate.h"

namespace velor::cli {

const char* PortOptionHelp() {
    return Tr(
        "the serial port: its COM name (COM3, COM12) as 'velor-flash ports' lists it and the "
        "Device Manager shows it under \"Ports (COM & LPT)\", or usb:VID:PID[:SERIAL] (IDs in "
        "hexadecimal, as 'velor-flash ports --long' shows them) for the one USB adapter that "
        "has them, whatever COM number Windows gave it today");
}

const char* PortsLongHelp() {
    return Tr(
        "add what tells the ports apart: the Device Manager's name, and for a USB adapter its "
        "IDs (for --port usb:VID:PID[:SERIAL]) and serial number");
}

const char* PortsListNote() {
    return "";
}

const char* NoPortDescription() {
    return "";  // as the Device Manager: a COM port it knows nothing more of shows its name
}

std::string MissingPortHint(const std::vector<std::string>& present) {
    if (present.empty()) {
        return "Windows lists no COM port: is the adapter plugged in and its driver installed "
               "(Device Manager, \"Ports (COM & LPT)\")?";
    }
    std::string text = "The COM ports present:";
    for (const std::string& port : present) {
        text += " " + port;
    }
    return text + ".";
}

}  // namespace velor::cli
