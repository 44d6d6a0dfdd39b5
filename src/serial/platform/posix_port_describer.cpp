#include <filesystem>
#include <fstream>
#include <system_error>

#include "serial/platform/SysfsPortDescriber.h"

namespace velor {
namespace posix {
namespace fs = std::filesystem;

namespace {

std::string ReadAttribute(const fs::path& file) {
    std::ifstream in(file);
    std::string value;
    std::getline(in, value);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\r')) {
        value.pop_back();
    }
    return value;
}

fs::path Canonical(const fs::path& path) {
    std::error_code ec;
    fs::path resolved = fs::canonical(path, ec);
    return ec ? fs::path() : resolved;
}

// The USB device a tty hangs below: the nearest folder upwards that has an idVendor.
fs::path UsbDeviceOf(const fs::path& device) {
    for (fs::path dir = device; !dir.empty() && dir != dir.root_path(); dir = dir.parent_path()) {
        std::error_code ec;
        if (fs::exists(dir / "idVendor", ec)) {
            return dir;
        }
    }
    return {};
}

// The driver of the device or of the nearest ancestor that has one; the serial core's own
// "port" and "ctrl" devices (kernel 6.1 on) stand between a UART and its real driver.
std::string DriverOf(const fs::path& device) {
    for (fs::path dir = device; !dir.empty() && dir != dir.root_path(); dir = dir.parent_path()) {
        const fs::path driver = Canonical(dir / "driver");
        if (!driver.empty() && driver.parent_path().parent_path().filename() != "serial-base") {
            return driver.filename().string();
        }
    }
    return {};
}

// ftdi_sio's latency timer of the port, in ms; -1 for a driver without one.
int LatencyTimerOf(const fs::path& device) {
    const std::string text = ReadAttribute(device / "latency_timer");
    if (text.empty() || text.size() > 3 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return -1;
    }
    return std::stoi(text);
}

// The USB path of the interface the tty hangs below ("1-1.4:1.0"), else of the USB device: a
// two-port adapter has one device and two interfaces.
std::string UsbLocationOf(const fs::path& device, const fs::path& usb) {
    for (fs::path dir = device; !dir.empty() && dir != usb; dir = dir.parent_path()) {
        if (dir.parent_path() == usb) {
            return dir.filename().string();
        }
    }
    return usb.filename().string();
}

// The link in folder that leads to deviceFile, other than devicePath itself; empty for none.
std::string LinkTo(const fs::path& folder, const fs::path& deviceFile, const fs::path& devicePath) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (Canonical(it->path()) == deviceFile && it->path() != devicePath) {
            return it->path().string();
        }
    }
    return {};
}

}  // namespace

SysfsPortDescriber SysfsPortDescriber::FromSystem() {
    return SysfsPortDescriber("/sys/class/tty", "/dev", "/dev/serial/by-id");
}

PortDescription SysfsPortDescriber::Describe(const std::string& name) {
    PortDescription d;
    d.Name = name;
    fs::path devicePath = name.starts_with('/') ? fs::path(name) : fs::path(m_devDir) / name;
    const fs::path target = Canonical(devicePath);
    if (!target.empty() && target != devicePath) {
        d.Target = target.string();
    }
    const fs::path deviceFile = target.empty() ? devicePath : target;

    const fs::path classEntry = fs::path(m_ttyClass) / deviceFile.filename();
    const fs::path device = Canonical(classEntry / "device");
    if (!device.empty()) {
        d.Driver = DriverOf(device);
        d.LatencyTimerMs = LatencyTimerOf(device);
        const fs::path usb = UsbDeviceOf(device);
        if (!usb.empty()) {
            d.VendorId = ReadAttribute(usb / "idVendor");
            d.ProductId = ReadAttribute(usb / "idProduct");
            d.Manufacturer = ReadAttribute(usb / "manufacturer");
            d.Product = ReadAttribute(usb / "product");
            d.Serial = ReadAttribute(usb / "serial");
            d.Location = UsbLocationOf(device, usb);
        }
    }

    d.ById = LinkTo(m_byIdDir, deviceFile, devicePath);
    d.ByPath = LinkTo(fs::path(m_byIdDir).parent_path() / "by-path", deviceFile, devicePath);
    return d;
}

}  // namespace posix

std::unique_ptr<IPortDescriber> MakePlatformPortDescriber() {
    return std::make_unique<posix::SysfsPortDescriber>(posix::SysfsPortDescriber::FromSystem());
}

}  // namespace velor
