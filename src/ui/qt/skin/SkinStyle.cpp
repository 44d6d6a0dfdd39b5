#include "ui/qt/skin/SkinStyle.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

#include "ui/qt/skin/SkinPalette.h"
#include "ui/qt/skin/SkinPictures.h"
#include "ui/qt/skin/TsGaugeWidget.h"
#include "ui/qt/skin/TsProgressBarWidget.h"

namespace velor::ui {

namespace {

constexpr int kComboArrowWidth = 16;
constexpr int kComboPaddingLeft = 5;

QString SectionOf(const QWidget* widget) {
    return widget != nullptr ? widget->property("skinSection").toString() : QString();
}

bool IsWriteButton(const QWidget* widget) {
    return widget != nullptr && widget->objectName() == QLatin1String("ButtonWrite");
}

void DrawRoundedBox(QPainter* painter, const QRect& rect, qreal radius, const QColor& fill,
                    const QColor& border, qreal borderWidth = 1.0) {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const qreal inset = borderWidth / 2;
    painter->setPen(QPen(border, borderWidth));
    painter->setBrush(fill);
    painter->drawRoundedRect(QRectF(rect).adjusted(inset, inset, -inset, -inset), radius - inset,
                             radius - inset);
    painter->restore();
}

void RecolourPainted(QWidget* widget, const SkinColors& colors) {
    if (auto* gauge = qobject_cast<TsGaugeWidget*>(widget)) {
        gauge->SetColors(colors);
    } else if (auto* bar = qobject_cast<TsProgressBarWidget*>(widget)) {
        bar->SetColors(colors);
    }
}

}  // namespace

SkinStyle::SkinStyle(const SkinColors& colors)
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))), m_colors(colors) {}

void SkinStyle::SetColors(const SkinColors& colors) {
    m_colors = colors;
    for (QWidget* widget : QApplication::allWidgets()) {
        RecolourPainted(widget, colors);
    }
}

void SkinStyle::polish(QWidget* widget) {
    QProxyStyle::polish(widget);
    RecolourPainted(widget, m_colors);
    if (widget->inherits("QTipLabel")) {
        widget->setContentsMargins(10, 7, 10, 7);  // a roomier tip than Fusion's
        return;
    }
    // A message box's text a size up, its buttons no smaller than a word needs.
    if (qobject_cast<QMessageBox*>(widget->window()) != nullptr) {
        if (qobject_cast<QLabel*>(widget) != nullptr) {
            QFont font = widget->font();
            font.setPixelSize(12);
            widget->setFont(font);
        } else if (qobject_cast<QAbstractButton*>(widget) != nullptr) {
            widget->setMinimumSize(widget->minimumSize().expandedTo(QSize(86, 28)));
        }
    }
}

void SkinStyle::DrawButtonPanel(const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const {
    const State state = option->state;
    const bool enabled = state & State_Enabled;
    const bool pressed = state & (State_Sunken | State_On);
    const bool hovered = state & State_MouseOver;
    const bool focused = state & State_HasFocus;
    const SkinColors& c = m_colors;
    if (IsWriteButton(widget)) {
        QColor fill = pressed ? c.AccentPressed : hovered ? c.AccentHover : c.Accent;
        QColor border = c.AccentPressed;
        if (!enabled) {
            fill = border = c.Disabled;
        }
        if (enabled && focused) {
            DrawRoundedBox(painter, option->rect, 5, fill, FocusRing(c), 2.0);
        } else {
            DrawRoundedBox(painter, option->rect, 5, fill, border);
        }
        return;
    }
    QColor fill = pressed ? PressedBackground(c) : hovered ? HoverBackground(c) : c.Panel;
    QColor border = enabled && (hovered || focused) ? c.Accent : c.PanelBorder;
    if (!enabled) {
        fill = c.Window;
    }
    DrawRoundedBox(painter, option->rect, 5, fill, border);
}

void SkinStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                              QPainter* painter, const QWidget* widget) const {
    switch (element) {
        case PE_PanelButtonCommand:
        case PE_PanelButtonTool:
            if (qobject_cast<const QAbstractButton*>(widget) != nullptr) {
                DrawButtonPanel(option, painter, widget);
                return;
            }
            break;
        case PE_PanelTipLabel:
            painter->fillRect(option->rect, option->palette.toolTipBase());
            return;
        default:
            break;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void SkinStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                            const QWidget* widget) const {
    switch (element) {
        case CE_ShapedFrame:
            if (SectionOf(widget) == QLatin1String("PANEL")) {
                DrawRoundedBox(painter, option->rect, 6, m_colors.Panel, m_colors.PanelBorder);
                return;
            }
            break;
        case CE_PushButtonLabel:
            if (SectionOf(widget) == QLatin1String("BUTTON_HUGE")) {
                painter->save();
                QFont bold = painter->font();
                bold.setBold(true);
                painter->setFont(bold);
                QProxyStyle::drawControl(element, option, painter, widget);
                painter->restore();
                return;
            }
            break;
        case CE_ToolButtonLabel:
            if (IsWriteButton(widget)) {
                if (const auto* tool = qstyleoption_cast<const QStyleOptionToolButton*>(option)) {
                    QStyleOptionToolButton label(*tool);
                    label.palette.setColor(QPalette::ButtonText, Qt::white);
                    label.font.setBold(true);
                    label.font.setPixelSize(12);
                    label.rect.adjust(0, 5, 0, -1);  // the icon and its word a little lower
                    QProxyStyle::drawControl(element, &label, painter, widget);
                    return;
                }
            }
            break;
        default:
            break;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void SkinStyle::DrawComboBox(const QStyleOptionComplex* option, QPainter* painter,
                             const QWidget* widget) const {
    const bool enabled = option->state & State_Enabled;
    const bool highlighted = enabled && (option->state & (State_MouseOver | State_HasFocus));
    DrawRoundedBox(painter, option->rect, 4, enabled ? m_colors.Panel : m_colors.Window,
                   highlighted ? m_colors.Accent : m_colors.PanelBorder);
    if (enabled) {
        if (m_arrow.isNull()) {
            m_arrow = SkinPicture(":/ui/arrow-down.png");
        }
        const QRect arrowBox = subControlRect(CC_ComboBox, option, SC_ComboBoxArrow, widget);
        QRect arrow(QPoint(), m_arrow.deviceIndependentSize().toSize());
        arrow.moveCenter(arrowBox.center());
        painter->drawPixmap(arrow, m_arrow);
    }
    // Keyboard focus gets Fusion's ring inside the border as well, as the buttons do.
    if ((option->state & State_HasFocus) && (option->state & State_KeyboardFocusChange)) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(*option);
        focus.rect = option->rect.adjusted(2, 2, -2, -2);
        focus.backgroundColor = m_colors.Panel;
        proxy()->drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
    }
}

void SkinStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                   QPainter* painter, const QWidget* widget) const {
    if (control == CC_ComboBox) {
        const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
        if (combo != nullptr && combo->frame) {
            DrawComboBox(option, painter, widget);
            return;
        }
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

QRect SkinStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                SubControl subControl, const QWidget* widget) const {
    if (control == CC_ComboBox) {
        const QRect inner = option->rect.adjusted(1, 1, -1, -1);
        const QRect arrow(inner.right() - kComboArrowWidth + 1, inner.top(), kComboArrowWidth,
                          inner.height() - 2);
        switch (subControl) {
            case SC_ComboBoxArrow:
                return visualRect(option->direction, option->rect, arrow);
            case SC_ComboBoxEditField:
                return visualRect(option->direction, option->rect,
                                  QRect(QPoint(inner.left() + kComboPaddingLeft, inner.top()),
                                        QPoint(arrow.left() - 1, inner.bottom())));
            default:
                break;
        }
    }
    return QProxyStyle::subControlRect(control, option, subControl, widget);
}

}  // namespace velor::ui
