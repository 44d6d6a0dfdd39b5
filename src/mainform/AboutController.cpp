#include "mainform/AboutController.h"

#include "mainform/KeyCodes.h"

namespace velor {

void AboutController::FormKeyDown(uint16_t key) {
    if (key == kKeyF1) {
        m_window.HideWindow();
    }
}

void AboutController::Button1Click() {
    m_host.MessageBeep(BeepKind::Asterisk);
    m_window.HideWindow();
}

void AboutController::sWebLabel1Click() {
    m_host.MessageBeep(BeepKind::Asterisk);
    m_shell.OpenWebAddress(WebTarget());
}

}  // namespace velor
