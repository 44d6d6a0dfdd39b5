// Port descriptions on Windows: the device manager's friendly name and the USB IDs and serial
// number of the device behind each COM port, from SetupAPI.

#include <windows.h>
// windows.h first: setupapi.h needs its types.
#include <devguid.h>
#include <setupapi.h>

#include <cctype>
#include <string>

#include "serial/PortDescription.h"

namespace velor {
namespace {

class DeviceInfoSet {
  public:
    DeviceInfoSet()
        : m_set(SetupDiGetClassDevsA(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT)) {}
    ~DeviceInfoSet() {
        if (m_set != INVALID_HANDLE_VALUE)
            SetupDiDestroyDeviceInfoList(m_set);
    }
    DeviceInfoSet(const DeviceInfoSet&) = delete;
    DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;
    HDEVINFO Get() const { return m_set; }
    bool Valid() const { return m_set != INVALID_HANDLE_VALUE; }

  private:
    HDEVINFO m_set;
};

class DeviceKey {
  public:
    explicit DeviceKey(HKEY key) : m_key(key) {}
    ~DeviceKey() {
        if (m_key != INVALID_HANDLE_VALUE && m_key != nullptr)
            RegCloseKey(m_key);
    }
    DeviceKey(const DeviceKey&) = delete;
    DeviceKey& operator=(const DeviceKey&) = delete;
    HKEY Get() const { return m_key; }
    bool Valid() const { return m_key != INVALID_HANDLE_VALUE && m_key != nullptr; }

  private:
    HKEY m_key;
};

std::string Property(HDEVINFO set, SP_DEVINFO_DATA& data, DWORD property) {
    char buffer[512] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyA(set, &data, property, &type,
                                           reinterpret_cast<BYTE*>(buffer), sizeof buffer - 1,
                                           nullptr)) {
        return {};
    }
    return buffer;  // REG_MULTI_SZ: its first string
}

std::string PortNameOf(HDEVINFO set, SP_DEVINFO_DATA& data) {
    DeviceKey key(SetupDiOpenDevRegKey(set, &data, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ));
    if (!key.Valid())
        return {};
    char name[64] = {};
    DWORD size = sizeof name - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key.Get(), "PortName", nullptr, &type, reinterpret_cast<BYTE*>(name),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return name;
}

// The FTDI driver's latency timer, kept beside PortName in the device's parameters; -1 for a
// driver without one.
int LatencyTimerOf(HDEVINFO set, SP_DEVINFO_DATA& data) {
    DeviceKey key(SetupDiOpenDevRegKey(set, &data, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ));
    if (!key.Valid())
        return -1;
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegQueryValueExA(key.Get(), "LatencyTimer", nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || value > 255)
        return -1;
    return static_cast<int>(value);
}

// "USB\VID_0403&PID_6001\A12345": the four digits after a tag, lower case.
std::string IdAfter(const std::string& text, const std::string& tag) {
    const auto at = text.find(tag);
    if (at == std::string::npos || at + tag.size() + 4 > text.size())
        return {};
    std::string id = text.substr(at + tag.size(), 4);
    for (char& c : id)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return id;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

class SetupApiPortDescriber final : public IPortDescriber {
  public:
    PortDescription Describe(const std::string& name) override {
        PortDescription d;
        d.Name = name;
        DeviceInfoSet set;
        if (!set.Valid())
            return d;
        SP_DEVINFO_DATA data{};
        data.cbSize = sizeof data;
        for (DWORD i = 0; SetupDiEnumDeviceInfo(set.Get(), i, &data); ++i) {
            if (!SameName(PortNameOf(set.Get(), data), name))
                continue;
            d.FriendlyName = Property(set.Get(), data, SPDRP_FRIENDLYNAME);
            d.Manufacturer = Property(set.Get(), data, SPDRP_MFG);
            d.LatencyTimerMs = LatencyTimerOf(set.Get(), data);
            // A multi-string: the first path names the socket ("PCIROOT(0)#...#USB(2)").
            d.Location = Property(set.Get(), data, SPDRP_LOCATION_PATHS);
            char instance[512] = {};
            if (SetupDiGetDeviceInstanceIdA(set.Get(), &data, instance, sizeof instance - 1,
                                            nullptr)) {
                const std::string id = instance;
                d.VendorId = IdAfter(id, "VID_");
                d.ProductId = IdAfter(id, "PID_");
                // A USB serial number is the last part, unless Windows made one up ("&").
                const auto slash = id.rfind('\\');
                if (!d.VendorId.empty() && slash != std::string::npos &&
                    id.find('&', slash) == std::string::npos)
                    d.Serial = id.substr(slash + 1);
            }
            break;
        }
        return d;
    }
};

}  // namespace

std::unique_ptr<IPortDescriber> MakePlatformPortDescriber() {
    return std::make_unique<SetupApiPortDescriber>();
}

}  // namespace velor
