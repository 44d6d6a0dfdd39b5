#include "ui/win32/Win32Host.h"

#include "ui/win32/WideText.h"

namespace velor::win32 {

void Win32Host::Box(const std::string& text, UINT icon) {
    const HWND owner = m_owner();
    const HWND parent = owner != nullptr && IsWindowVisible(owner) ? owner : nullptr;
    MessageBoxW(parent, Wide(text).c_str(), Wide(m_model.ApplicationTitle).c_str(),
                MB_OK | icon | (parent == nullptr ? MB_TASKMODAL : 0));
}

void Win32Host::ShowMessage(const std::string& text) {
    Box(text, 0);
}

void Win32Host::ShowError(const std::string& text) {
    Box(text, MB_ICONERROR);
}

void Win32Host::MessageBeep(BeepKind kind) {
    ::MessageBeep(static_cast<UINT>(kind));
}

void Win32Host::Tone(int hertz, int milliseconds) {
    ::Beep(static_cast<DWORD>(hertz), static_cast<DWORD>(milliseconds));
}

void Win32Host::Sleep(int milliseconds) {
    if (milliseconds > 0) {
        ::Sleep(static_cast<DWORD>(milliseconds));
    }
}

void Win32Host::ProcessEvents() {
    m_pump.PumpPending();
}

void Win32Host::BringToFront() {
    if (const HWND owner = m_owner()) {
        SetForegroundWindow(owner);
    }
}

std::string Win32Host::LongTimeOfDay() {
    wchar_t buffer[128] = {};
    const int length = GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, nullptr, nullptr, buffer,
                                       static_cast<int>(std::size(buffer)));
    return length > 0 ? Utf8(std::wstring_view(buffer, static_cast<size_t>(length - 1)))
                      : std::string();
}

}  // namespace velor::win32
