#include "ui/win32/DesktopProgram.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/Conversions.h"

namespace velor::win32 {

TDesktopProgram::TDesktopProgram()
    : m_win32Host(m_model, m_pump, [this] { return MainWindow(); }),
      m_host(m_win32Host,
             [this] {
                 if (m_mainForm) {
                     m_mainForm->Render();
                 }
             }),
      m_dispatcher(
          [this](const std::string& message) { m_host.ShowError(ErrorBoxText(message)); }) {
    m_shell.SetOwner([this] { return MainWindow(); });
    m_shell.SetAboutShower([this] {
        if (m_formHelp) {
            m_formHelp->ShowWindow();
        }
    });
}

TDesktopProgram::~TDesktopProgram() {
    // The About window goes first, while the main window's pump still knows it.
    m_formHelp.reset();
    m_traces.reset();
    m_mainForm.reset();
}

void TDesktopProgram::SetApplicationTitle(const std::string& title) {
    m_model.ApplicationTitle = title;
}

void TDesktopProgram::CreateMainForm() {
    m_mainForm = std::make_unique<TMainForm>(m_model, m_host, m_shell, m_pump, m_dispatcher);
    MainFormController& controller = m_mainForm->Controller();
    const std::filesystem::path folder = UserTraceFolder([](const char* name) {
        const std::wstring wide(name, name + std::strlen(name));
        const wchar_t* value = _wgetenv(wide.c_str());
        return std::filesystem::path(value != nullptr ? value : L"");
    });
    m_traces = std::make_unique<WindowTraces>(folder, controller.Events(), controller.Port(),
                                              &controller.Image());
}

void TDesktopProgram::RunFormCreate() {
    m_mainForm->Create();
}

void TDesktopProgram::ShowMainFormCentred() {
    m_mainForm->ShowCentred();
}

void TDesktopProgram::CreateFormHelp() {
    m_formHelp = std::make_unique<TFormHelp>(m_host, m_pump);
}

int TDesktopProgram::RunMessageLoop() {
    return m_pump.Run();
}

}  // namespace velor::win32
