#include "ui/win32/Win32Shell.h"

#include <shellapi.h>

#include "ui/win32/WideText.h"

namespace velor::win32 {

// Results are not examined: a launch that fails shows nothing.
void Win32Shell::Execute(const wchar_t* verb, const std::wstring& file, int show,
                         const wchar_t* parameters) {
    if (auto* execute = m_shell32.Find<decltype(ShellExecuteW)>("ShellExecuteW")) {
        execute(Owner(), verb, file.c_str(), parameters, nullptr, show);
    }
}

void Win32Shell::OpenDeviceManager() {
    // By its full path: a bare name is looked up in the current folder (a USB stick) first.
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    Execute(L"open", std::wstring(system, length) + L"\\mmc.exe", SW_SHOWNORMAL, L"devmgmt.msc");
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
