#pragma once
// Qt key events to the virtual-key codes and modifier set of the window's key handler.

#include <QKeyEvent>
#include <cstdint>

#include "mainform/KeyCodes.h"

namespace velor::ui {

// The virtual-key code of the key, or 0 for a key the handler never looks at. A letter has the
// code of its upper-case Latin letter whatever the keyboard layout.
uint16_t VirtualKeyOf(const QKeyEvent& event);
TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers);

}  // namespace velor::ui
