#pragma once

#include <QString>

#include "ui/qt/skin/Palette.h"

namespace velor::ui {

// The application style sheet of a skin. Sections follow the controls' "skinSection" property
// ("PANEL", "BAR", "COMBOBOX", "BUTTON_HUGE", "DIALOG").
QString SkinStyleSheet(const SkinColors& colors);

}  // namespace velor::ui
