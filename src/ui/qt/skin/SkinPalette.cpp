#include "ui/qt/skin/SkinPalette.h"

#include <QStringList>

namespace velor::ui {

namespace {

// `a` moved towards `b` by the share `t` (0..1).
QColor Mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(static_cast<float>(a.redF() * (1 - t) + b.redF() * t),
                            static_cast<float>(a.greenF() * (1 - t) + b.greenF() * t),
                            static_cast<float>(a.blueF() * (1 - t) + b.blueF() * t));
}

}  // namespace

QColor HoverBackground(const SkinColors& c) {
    return Mix(c.Panel, c.Accent, 0.10);
}

QColor PressedBackground(const SkinColors& c) {
    return Mix(c.Panel, c.Accent, 0.22);
}

QColor FocusRing(const SkinColors& c) {
    return Mix(c.AccentPressed, QColor(Qt::black), 0.3);
}

QPalette SkinPalette(const SkinColors& c) {
    QPalette p(c.Panel, c.Window);  // the bevel shades Qt derives, for whatever Fusion draws
    const QColor white(Qt::white);
    p.setColor(QPalette::Window, c.Window);
    p.setColor(QPalette::WindowText, c.Text);
    p.setColor(QPalette::Base, c.Panel);
    p.setColor(QPalette::AlternateBase, c.Window);
    p.setColor(QPalette::Text, c.Text);
    p.setColor(QPalette::Button, c.Panel);
    p.setColor(QPalette::ButtonText, c.Text);
    p.setColor(QPalette::Mid, c.PanelBorder);
    p.setColor(QPalette::Highlight, c.Accent);
    p.setColor(QPalette::HighlightedText, white);
    p.setColor(QPalette::ToolTipBase, c.Text);
    p.setColor(QPalette::ToolTipText, c.Panel);
    p.setColor(QPalette::PlaceholderText, c.MutedText);
    p.setColor(QPalette::Link, LinkColor());
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Disabled, role, c.Disabled);
    }
    p.setColor(QPalette::Disabled, QPalette::Button, c.Window);
    p.setColor(QPalette::Disabled, QPalette::Base, c.Window);
    return p;
}

QFont SkinFont() {
    QFont font;
    font.setFamilies(
        {QStringLiteral("Segoe UI"), QStringLiteral("DejaVu Sans"), QStringLiteral("sans-serif")});
    font.setPixelSize(11);
    return font;
}

}  // namespace velor::ui
