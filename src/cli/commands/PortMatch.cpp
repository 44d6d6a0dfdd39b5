#include "cli/commands/PortMatch.h"

#include <cctype>

#include "serial/EComPort.h"

namespace velor::cli {

namespace {

constexpr std::string_view kUsbPrefix = "usb:";
constexpr std::string_view kById = "/dev/serial/";
constexpr std::string_view kUsbPath = "usb-path:";

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// One to four hexadecimal digits, as four lower-case ones.
std::optional<std::string> UsbId(const std::string& text) {
    if (text.empty() || text.size() > 4 ||
        text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return std::nullopt;
    }
    return std::string(4 - text.size(), '0') + Lower(text);
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) {
            return parts;
        }
        start = end + 1;
    }
}

std::string Candidates(const std::vector<const PortDescription*>& ports) {
    if (ports.empty()) {
        return "\n  (none)";
    }
    std::string text;
    for (const PortDescription* port : ports) {
        const std::string description = DescriptionText(*port);
        text += "\n  " + port->Name + (description.empty() ? "" : "  " + description);
    }
    return text;
}

}  // namespace

bool NeedsPortLookup(const std::string& option) {
    return Lower(option).starts_with(kUsbPrefix) || option.starts_with(kById) ||
           option.starts_with(kUsbPath);
}

std::optional<std::string> ResolvePort(const std::string& option,
                                       const std::vector<PortDescription>& ports,
                                       std::string& error) {
    if (option.starts_with(kUsbPath)) {
        const std::string location = option.substr(kUsbPath.size());
        std::vector<const PortDescription*> candidates;
        for (const auto& port : ports) {
            if (!location.empty() && port.Location == location) {
                return port.Name;
            }
            if (!port.Location.empty()) {
                candidates.push_back(&port);
            }
        }
        error = "no serial port is plugged in at '" + option +
                "'; the ports with a USB path:" + Candidates(candidates);
        return std::nullopt;
    }
    if (option.starts_with(kById)) {
        std::vector<const PortDescription*> candidates;
        for (const auto& port : ports) {
            if (port.ById == option || port.ByPath == option || port.Name == option) {
                return port.Name;
            }
            if (!port.ById.empty() || !port.ByPath.empty()) {
                candidates.push_back(&port);
            }
        }
        error = "no serial port is at '" + option +
                "'; the ports with such a name:" + Candidates(candidates);
        return std::nullopt;
    }
    if (!Lower(option).starts_with(kUsbPrefix)) {
        return option;
    }
    const auto parts = Split(option.substr(kUsbPrefix.size()), ':');
    const auto vendor = parts.size() >= 2 ? UsbId(parts[0]) : std::nullopt;
    const auto product = parts.size() >= 2 ? UsbId(parts[1]) : std::nullopt;
    if (!vendor || !product || parts.size() > 3 || (parts.size() == 3 && parts[2].empty())) {
        error = "'" + option + "' is not usb:VID:PID or usb:VID:PID:SERIAL (IDs in hexadecimal)";
        return std::nullopt;
    }
    std::vector<const PortDescription*> usb;
    std::vector<const PortDescription*> matches;
    for (const auto& port : ports) {
        if (port.VendorId.empty()) {
            continue;
        }
        usb.push_back(&port);
        if (port.VendorId == *vendor && port.ProductId == *product &&
            (parts.size() < 3 || port.Serial == parts[2])) {
            matches.push_back(&port);
        }
    }
    if (matches.size() == 1) {
        return matches.front()->Name;
    }
    error =
        matches.empty()
            ? "no USB serial port matches '" + option + "'; the USB serial ports:" + Candidates(usb)
            : "several USB serial ports match '" + option +
                  "'; add the serial number (usb:VID:PID:SERIAL):" + Candidates(matches);
    return std::nullopt;
}

std::optional<std::string> PortToOpen(const std::string& option, std::string& error) {
    if (!NeedsPortLookup(option)) {
        return option;
    }
    std::vector<PortDescription> ports;
    try {
        ports = DescribeSerialPorts();
    } catch (const EComPort&) {
        // No list: no candidates, which the error then says.
    }
    return ResolvePort(option, ports, error);
}

}  // namespace velor::cli
