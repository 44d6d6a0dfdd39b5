// The Windows port list: the data of every value of HKLM\HARDWARE\DEVICEMAP\SERIALCOMM.

#include <windows.h>

#include <cstring>

#include "serial/ListSerialPorts.h"

namespace velor {
namespace {

class RegistryKey {
  public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (m_key != nullptr)
            RegCloseKey(m_key);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    bool OpenForReading(HKEY root, const char* path) {
        return RegOpenKeyExA(root, path, 0, KEY_READ, &m_key) == ERROR_SUCCESS;
    }
    HKEY Get() const { return m_key; }

  private:
    HKEY m_key = nullptr;
};

class RegistryPortSource final : public IPortSource {
  public:
    bool Collect(std::vector<std::string>& names) override {
        RegistryKey key;
        if (!key.OpenForReading(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM")) {
            return false;
        }
        for (DWORD index = 0;; ++index) {
            char name[256];
            BYTE data[256];
            DWORD nameLength = sizeof name;
            DWORD dataLength = sizeof data;
            const LONG r = RegEnumValueA(key.Get(), index, name, &nameLength, nullptr, nullptr,
                                         data, &dataLength);
            if (r == ERROR_NO_MORE_ITEMS)
                return true;
            if (r != ERROR_SUCCESS)
                return false;
            // The data up to its terminating NUL, never past what the call filled.
            const char* text = reinterpret_cast<const char*>(data);
            const void* nul = std::memchr(text, 0, dataLength);
            names.emplace_back(text, nul != nullptr ? static_cast<const char*>(nul) - text
                                                    : static_cast<std::ptrdiff_t>(dataLength));
        }
    }
};

}  // namespace

std::unique_ptr<IPortSource> MakePlatformPortSource() {
    return std::make_unique<RegistryPortSource>();
}

}  // namespace velor
