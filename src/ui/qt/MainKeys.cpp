// Key preview and the focus walk of the main window.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "mainform/KeyboardRules.h"
#include "ui/qt/KeyMapping.h"
#include "ui/qt/Main.h"
#include "ui/qt/skin/ClickLabels.h"
#include "ui/qt/skin/TsGaugeWidget.h"
#include "ui/qt/skin/TsProgressBarWidget.h"

namespace velor::ui {

QWidget* TMainForm::FocusWidgetOf(FocusTarget target) const {
    switch (target) {
        case FocusTarget::MemoAbout:  // text held by the model, no control
            return nullptr;
        case FocusTarget::cbPort:
            return m_cbPort;
        case FocusTarget::ButtonWrite:
            return m_ButtonWrite;
        case FocusTarget::ButtonConect:
            return m_ButtonConect;
        case FocusTarget::ButtonOpenHex:
            return m_ButtonOpenHex;
        case FocusTarget::sButton2:
            return m_sButton2;
        case FocusTarget::sButton3:
            return m_sButton3;
        case FocusTarget::cbBaudRate:
            return m_cbBaudRate;
    }
    return nullptr;
}

void TMainForm::OnFocusChanged(QWidget* now) {
    // The operator's own focus moves go into the model, so a render never takes them back.
    for (FocusTarget target :
         {FocusTarget::cbPort, FocusTarget::ButtonWrite, FocusTarget::ButtonConect,
          FocusTarget::ButtonOpenHex, FocusTarget::sButton2, FocusTarget::sButton3,
          FocusTarget::cbBaudRate}) {
        if (now != nullptr && now == FocusWidgetOf(target)) {
            m_model.Focus = target;
            return;
        }
    }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    // Key preview: the key handler sees the key once, at the focused control, before it does.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        QWidget* focused = QApplication::focusWidget();
        if (widget->window() == this && (widget == focused || (!focused && widget == this))) {
            const auto& key = *static_cast<QKeyEvent*>(event);
            const uint16_t code = VirtualKeyOf(key);
            if (code != 0) {
                const TShiftState shift = ShiftStateOf(key.modifiers());
                Run([this, code, shift] { m_controller.FormKeyDown(code, shift); });
                if (PressFocusedButton(code, focused)) {
                    return true;
                }
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TMainForm::PressFocusedButton(uint16_t key, QWidget* focused) {
    auto* button = qobject_cast<QAbstractButton*>(focused);
    if (!PressesFocusedButton(key) || button == nullptr || button->window() != this ||
        !button->isEnabled() || QApplication::focusWidget() != button) {
        return false;
    }
    button->click();
    return true;
}

bool TMainForm::focusNextPrevChild(bool next) {
    const FocusTarget to =
        NextFocus(m_model.Focus, m_model.ServiceLayout, next, [this](FocusTarget target) {
            const QWidget* widget = FocusWidgetOf(target);
            return widget != nullptr && widget->isEnabled();
        });
    if (QWidget* widget = FocusWidgetOf(to)) {
        widget->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    }
    return true;
}

}  // namespace velor::ui
