#pragma once
// The skin's look: Fusion with the skin's panels, buttons, write button, combo boxes and tooltips
// drawn over it, keyed on the widgets' class, name and "skinSection" property ("PANEL",
// "BUTTON_HUGE", "DIALOG"). Far cheaper to polish than a style sheet: the start-up polishes every
// control once.

#include <QPixmap>
#include <QProxyStyle>

#include "ui/qt/skin/Palette.h"

namespace velor::ui {

class SkinStyle : public QProxyStyle {
    Q_OBJECT
  public:
    explicit SkinStyle(const SkinColors& colors);

    // Recolours the painted bars at once; the rest follows the application palette's repaint.
    void SetColors(const SkinColors& colors);

    using QProxyStyle::polish;
    void polish(QWidget* widget) override;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                         SubControl subControl, const QWidget* widget = nullptr) const override;

  private:
    void DrawButtonPanel(const QStyleOption* option, QPainter* painter,
                         const QWidget* widget) const;
    void DrawComboBox(const QStyleOptionComplex* option, QPainter* painter,
                      const QWidget* widget) const;

    SkinColors m_colors;
    mutable QPixmap m_arrow;  // loaded at the first combo box drawn
};

}  // namespace velor::ui
