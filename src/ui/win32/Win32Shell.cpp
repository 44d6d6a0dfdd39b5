#include "ui/win32/Win32Shell.h"

#include <shellapi.h>

#include "ui/win32/WideText.h"

namespace velor::win32 {

// Results are not examined: a launch that fails shows nothing.
void Win32Shell::OpenDeviceManager() {
    ShellExecuteW(Owner(), L"open", L"devmgmt.msc", nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32Shell::OpenWebAddress(const std::string& address) {
    ShellExecuteW(Owner(), nullptr, Wide(address).c_str(), nullptr, nullptr, SW_SHOW);
}

void Win32Shell::ShowAbout() {
    if (m_showAbout) {
        m_showAbout();
    }
}

}  // namespace velor::win32
