#pragma once
// The application palette and font of a skin, and the shades its controls mix from its colours.

#include <QColor>
#include <QFont>
#include <QPalette>

#include "ui/qt/skin/Palette.h"

namespace velor::ui {

QColor HoverBackground(const SkinColors& c);
QColor PressedBackground(const SkinColors& c);
// The write button's focus border: darker than its fill, so it shows on the accent.
QColor FocusRing(const SkinColors& c);

QPalette SkinPalette(const SkinColors& c);
QFont SkinFont();

}  // namespace velor::ui
