#include "ui/DesktopProgram.h"

#include <QApplication>

#include "ui/skin/TsSkinManager.h"

namespace velor::ui {

TDesktopProgram::TDesktopProgram(DesktopOptions options) : m_host(m_model, options.Sound) {
    m_model.ApplicationTitle = kApplicationTitle;
    m_mainForm = std::make_unique<TMainForm>(m_model, m_host, m_shell);
    m_mainForm->SkinManager().SetAnimated(options.Animated);
    TMainForm* form = m_mainForm.get();
    m_host.SetRenderer([form] { form->Render(); });
    m_host.SetRaiser([form] {
        form->raise();
        form->activateWindow();
    });
    QApplication::setWindowIcon(form->windowIcon());
    form->Create();
    form->ShowCentred();

    m_formHelp = std::make_unique<TFormHelp>(m_host, m_shell);
    TFormHelp* about = m_formHelp.get();
    m_shell.SetAboutShower([about] { about->ShowWindow(); });
}

}  // namespace velor::ui
