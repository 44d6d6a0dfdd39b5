#pragma once
// The About window FormHelp with the Win32 API: the emblem, the link to our web address and
// "ОК". It never blocks the main window; closing it only hides it.

#include <windows.h>

#include "app/Host.h"
#include "mainform/AboutController.h"
#include "ui/win32/Handles.h"
#include "ui/win32/MessagePump.h"
#include "ui/win32/Win32Shell.h"

namespace velor::win32 {

class TFormHelp final : public IKeyPreview, public IAboutWindow {
  public:
    TFormHelp(IHost& host, TMessagePump& pump);
    ~TFormHelp() override;
    TFormHelp(const TFormHelp&) = delete;
    TFormHelp& operator=(const TFormHelp&) = delete;

    // Shows the window at its place and brings it to the front.
    void ShowWindow();
    void HideWindow() override;

    HWND Window() const override { return m_window.get(); }
    bool PreviewKey(const MSG& message) override;
    bool UsesDialogKeys() const override { return true; }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    int Scale(int value) const { return MulDiv(value, static_cast<int>(m_dpi), 96); }
    void ApplyLayout();
    void SetLinkHover(bool hover);

    TMessagePump& m_pump;
    Win32Shell m_shell;
    AboutController m_controller;
    UniqueWindow m_window;
    UINT m_dpi = 96;
    UniqueFont m_font;
    UniqueFont m_linkFont;
    UniqueBitmap m_emblem;
    bool m_linkHover = false;
};

}  // namespace velor::win32
