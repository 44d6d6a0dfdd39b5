#pragma once
// The flasher's side effects through the Win32 API: message boxes with the application title as
// caption, MessageBeep and Beep, Sleep, the message loop's turns, the regional long time format.

#include <windows.h>

#include <functional>

#include "app/Host.h"
#include "app/MainWindowModel.h"
#include "ui/win32/MessagePump.h"

namespace velor::win32 {

class Win32Host final : public IHost {
  public:
    // owner: the window the boxes belong to (null until it exists).
    Win32Host(const MainWindowModel& model, TMessagePump& pump, std::function<HWND()> owner)
        : m_model(model), m_pump(pump), m_owner(std::move(owner)) {}

    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;
    void MessageBeep(BeepKind kind) override;
    void Tone(int hertz, int milliseconds) override;
    void Sleep(int milliseconds) override;
    void ProcessEvents() override;
    void BringToFront() override;
    std::string LongTimeOfDay() override;

  private:
    void Box(const std::string& text, UINT icon);

    const MainWindowModel& m_model;
    TMessagePump& m_pump;
    std::function<HWND()> m_owner;
};

}  // namespace velor::win32
