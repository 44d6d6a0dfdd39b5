#pragma once
// Shell execution (the device manager, web addresses) on behalf of a window, and the About
// window's show operation.

#include <windows.h>

#include <functional>
#include <string>

#include "mainform/Shell.h"
#include "ui/win32/SystemLibrary.h"

namespace velor::win32 {

class Win32Shell final : public IShell {
  public:
    void SetOwner(std::function<HWND()> owner) { m_owner = std::move(owner); }
    void SetAboutShower(std::function<void()> show) { m_showAbout = std::move(show); }

    void OpenDeviceManager() override;
    void OpenWebAddress(const std::string& address) override;
    void ShowAbout() override;

  private:
    HWND Owner() const { return m_owner ? m_owner() : nullptr; }
    void Execute(const wchar_t* verb, const std::wstring& file, int show,
                 const wchar_t* parameters = nullptr);

    TSystemLibrary m_shell32{L"shell32.dll"};  // loaded at the first launch

    std::function<HWND()> m_owner;
    std::function<void()> m_showAbout;
};

}  // namespace velor::win32
