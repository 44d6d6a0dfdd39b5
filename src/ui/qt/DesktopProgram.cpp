#include "ui/qt/DesktopProgram.h"

#include <QApplication>

#include "ui/qt/skin/TsSkinManager.h"

namespace velor::ui {

TDesktopProgram::TDesktopProgram(DesktopOptions options)
    : m_options(options), m_host(m_model, options.Sound) {
    StartDesktopProgram(*this);
}

void TDesktopProgram::SetApplicationTitle(const std::string& title) {
    m_model.ApplicationTitle = title;
}

void TDesktopProgram::CreateMainForm() {
    m_mainForm = std::make_unique<TMainForm>(m_model, m_host, m_shell);
    MainFormController& controller = m_mainForm->Controller();
    m_traces = std::make_unique<WindowTraces>(m_options.TraceFolder, controller.Events(),
                                              controller.Port(), &controller.Image());
    m_mainForm->SkinManager().SetAnimated(m_options.Animated);
    TMainForm* form = m_mainForm.get();
    m_host.SetRenderer([form] { form->Render(); });
    m_host.SetRaiser([form] {
        form->raise();
        form->activateWindow();
    });
    QApplication::setWindowIcon(form->windowIcon());
}

void TDesktopProgram::RunFormCreate() {
    m_mainForm->Create();
}

void TDesktopProgram::ShowMainFormCentred() {
    m_mainForm->ShowCentred();
}

void TDesktopProgram::CreateFormHelp() {
    m_formHelp = std::make_unique<TFormHelp>(m_host, m_shell);
    TFormHelp* about = m_formHelp.get();
    m_shell.SetAboutShower([about] { about->ShowWindow(); });
}

int TDesktopProgram::RunMessageLoop() {
    return QApplication::exec();
}

}  // namespace velor::ui
