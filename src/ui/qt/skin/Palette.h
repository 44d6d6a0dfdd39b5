#pragma once
// The colours of the built-in skins, shared by the style, the palette and the painted controls.

#include <QColor>
#include <QString>

namespace velor::ui {

// The About window's link, the same in every skin.
inline QColor LinkColor() {
    return QColor(0x00, 0x40, 0x80);
}

struct SkinColors {
    QColor Window;
    QColor Panel;
    QColor PanelBorder;
    QColor Text;
    QColor MutedText;
    QColor Accent;
    QColor AccentHover;
    QColor AccentPressed;
    QColor Track;
    QColor Disabled;
};

}  // namespace velor::ui
