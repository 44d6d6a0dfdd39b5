#pragma once
// The About window's handlers without a toolkit: F1 and "ОК" close it, the link opens our web
// address. Closing only hides the window; it is shown again by the main window.

#include <cstdint>
#include <string>

#include "app/Host.h"
#include "mainform/Shell.h"

namespace velor {

inline constexpr const char* kAboutCaption = "Про програму";
inline constexpr char kWebAddress[] = "https://velor-bootloader.example";
// The About window shows the address without its scheme.
inline constexpr const char* kAboutAddress = kWebAddress + sizeof("https://") - 1;
inline constexpr const char* kAboutButtonCaption = "ОК";  // Cyrillic О and К

class IAboutWindow {
  public:
    virtual ~IAboutWindow() = default;
    virtual void HideWindow() = 0;
};

class AboutController {
  public:
    AboutController(IAboutWindow& window, IHost& host, IShell& shell)
        : m_window(window), m_host(host), m_shell(shell) {}

    // Any modifiers; the key goes on unchanged to the focused control.
    void FormKeyDown(uint16_t key);
    void Button1Click();
    void sWebLabel1Click();
    // The title bar's close button: no beep.
    void FormClose() { m_window.HideWindow(); }

    static std::string WebTarget() { return kWebAddress; }

  private:
    IAboutWindow& m_window;
    IHost& m_host;
    IShell& m_shell;
};

}  // namespace velor
