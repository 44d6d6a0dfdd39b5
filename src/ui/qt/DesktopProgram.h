#pragma once
// The program entry's start-up in the shared order (StartDesktopProgram): the application title,
// the main window (created, FormCreate while hidden, shown centred), then the About window,
// hidden. The caller owns the QApplication and runs its message loop.

#include <memory>

#include "app/MainWindowModel.h"
#include "mainform/StartUp.h"
#include "ui/qt/Main.h"
#include "ui/qt/QtHost.h"
#include "ui/qt/QtShell.h"
#include "ui/qt/Unit1.h"

#include <filesystem>

#include "trace/WindowTraces.h"

namespace velor::ui {

struct DesktopOptions {
    bool Sound = true;
    bool Animated = true;
    std::filesystem::path TraceFolder = {};  // where each operation's trace goes; empty: none
};

class TDesktopProgram final : private IDesktopProgram {
  public:
    explicit TDesktopProgram(DesktopOptions options = {});

    TMainForm& MainForm() { return *m_mainForm; }
    TFormHelp& FormHelp() { return *m_formHelp; }

  private:
    void SetApplicationTitle(const std::string& title) override;
    void CreateMainForm() override;
    void RunFormCreate() override;
    void ShowMainFormCentred() override;
    void CreateFormHelp() override;
    int RunMessageLoop() override;  // the caller's QApplication runs it

    DesktopOptions m_options;
    MainWindowModel m_model;
    QtHost m_host;
    QtShell m_shell;
    std::unique_ptr<TMainForm> m_mainForm;
    std::unique_ptr<TFormHelp> m_formHelp;
    std::unique_ptr<WindowTraces> m_traces;  // goes before the main window's port
};

}  // namespace velor::ui
