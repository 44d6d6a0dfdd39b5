#include "ui/win32/Win32Shell.h"

#include <shellapi.h>

#include "ui/win32/WideText.h"

namespace velor::win32 {

// Results are not examined: a launch that fails shows nothing.
void Win32Shell::Execute(const wchar_t* verb, const std::wstring& file, int show) {
    if (auto* execute = m_shell32.Find<decltype(ShellExecuteW)>("ShellExecuteW")) {
        execute(Owner(), verb, file.c_str(), nullptr, nullptr, show);
    }
}

void Win32Shell::OpenDeviceManager() {
    Execute(L"open", L"devmgmt.msc", SW_SHOWNORMAL);
}

void Win32Shell::OpenWebAddress(const std::string& address) {
    Execute(nullptr, Wide(address), SW_SHOW);
}

void Win32Shell::ShowAbout() {
    if (m_showAbout) {
        m_showAbout();
    }
}

}  // namespace velor::win32
