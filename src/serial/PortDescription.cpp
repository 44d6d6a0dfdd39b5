#include "serial/PortDescription.h"

#include "serial/ListSerialPorts.h"

namespace velor {

namespace {

void Join(std::string& out, const std::string& part, const char* separator) {
    if (part.empty()) {
        return;
    }
    if (!out.empty()) {
        out += separator;
    }
    out += part;
}

}  // namespace

std::string DescriptionText(const PortDescription& port) {
    std::string names;
    Join(names, port.FriendlyName, " ");
    // Many adapters repeat the maker in the product string ("FTDI" + "FTDI USB Serial").
    if (port.Product.find(port.Manufacturer) != 0) {
        Join(names, port.Manufacturer, " ");
    }
    Join(names, port.Product, " ");
    std::string text = names;
    if (!port.VendorId.empty() || !port.ProductId.empty()) {
        const std::string ids = "USB " + port.VendorId + ":" + port.ProductId;
        text = text.empty() ? ids : text + " (" + ids + ")";
    }
    if (!port.Serial.empty()) {
        Join(text, "serial " + port.Serial, ", ");
    }
    if (!port.Driver.empty()) {
        Join(text, "driver " + port.Driver, ", ");
    }
    if (port.LatencyTimerMs >= 0) {
        Join(text, "latency timer " + std::to_string(port.LatencyTimerMs) + " ms", ", ");
    }
    Join(text, port.Target.empty() ? "" : "-> " + port.Target, ", ");
    Join(text, port.ById, ", ");
    Join(text, port.Location.empty() ? "" : "slot path usb-path:" + port.Location, ", ");
    return text;
}

std::vector<PortDescription> DescribeSerialPorts() {
    std::vector<std::string> names;
    ListSerialPorts(names);
    const auto describer = MakePlatformPortDescriber();
    std::vector<PortDescription> ports;
    ports.reserve(names.size());
    for (const auto& name : names) {
        ports.push_back(describer->Describe(name));
    }
    return ports;
}

}  // namespace velor
