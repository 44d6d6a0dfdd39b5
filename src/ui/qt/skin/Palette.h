#pragma once
// The colours of the built-in skins, shared by the style, the palette and the painted controls.

#include <QColor>
#include <QString>

namespace velor::ui {

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
