#pragma once
// The program entry's start-up, in the system's order: the application title, the main window
// (created, FormCreate while hidden, shown centred), then the About window, hidden. The caller
// owns the QApplication and runs its message loop.

#include <memory>

#include "app/MainWindowModel.h"
#include "ui/Main.h"
#include "ui/QtHost.h"
#include "ui/QtShell.h"
#include "ui/Unit1.h"

namespace velor::ui {

struct DesktopOptions {
    bool Sound = true;
    bool Animated = true;
};

class TDesktopProgram {
  public:
    explicit TDesktopProgram(DesktopOptions options = {});

    TMainForm& MainForm() { return *m_mainForm; }
    TFormHelp& FormHelp() { return *m_formHelp; }

  private:
    MainWindowModel m_model;
    QtHost m_host;
    QtShell m_shell;
    std::unique_ptr<TMainForm> m_mainForm;
    std::unique_ptr<TFormHelp> m_formHelp;
};

}  // namespace velor::ui
