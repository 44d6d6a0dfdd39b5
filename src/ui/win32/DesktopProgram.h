#pragma once
// The program entry's parts on Windows, put together in the system's start-up order.

#include <memory>

#include "app/MainWindowModel.h"
#include "mainform/RenderingHost.h"
#include "mainform/StartUp.h"
#include "trace/WindowTraces.h"
#include "ui/win32/AboutWindow.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/MessagePump.h"
#include "ui/win32/Win32Host.h"
#include "ui/win32/Win32Shell.h"
#include "ui/win32/WindowSyncDispatcher.h"

namespace velor::win32 {

class TDesktopProgram final : public IDesktopProgram {
  public:
    TDesktopProgram();
    ~TDesktopProgram() override;

    void SetApplicationTitle(const std::string& title) override;
    void CreateMainForm() override;
    void RunFormCreate() override;
    void ShowMainFormCentred() override;
    void CreateFormHelp() override;
    int RunMessageLoop() override;

  private:
    HWND MainWindow() const { return m_mainForm ? m_mainForm->Window() : nullptr; }

    MainWindowModel m_model;
    TMessagePump m_pump;
    Win32Host m_win32Host;
    RenderingHost m_host;
    Win32Shell m_shell;
    TWindowSyncDispatcher m_dispatcher;  // outlives the port inside the main window
    std::unique_ptr<TFormHelp> m_formHelp;
    std::unique_ptr<TMainForm> m_mainForm;
    std::unique_ptr<WindowTraces> m_traces;  // goes before the main window's port
};

}  // namespace velor::win32
