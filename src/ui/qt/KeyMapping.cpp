#include "ui/qt/KeyMapping.h"

namespace velor::ui {

uint16_t VirtualKeyOf(const QKeyEvent& event) {
    const int key = event.key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return static_cast<uint16_t>(key);  // Qt's letter codes are the virtual-key codes
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return static_cast<uint16_t>(key);
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return static_cast<uint16_t>(kKeyF1 + (key - Qt::Key_F1));
    }
    if (key == Qt::Key_Delete) {
        return kKeyDelete;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        return kKeyReturn;
    }
    // Under another layout (Cyrillic) a letter key may arrive without its Latin key code; the
    // platform's own code (the virtual key on Windows) still names the Latin letter.
    const quint32 native = event.nativeVirtualKey();
    if (native >= 'A' && native <= 'Z') {
        return static_cast<uint16_t>(native);
    }
    if (native >= 'a' && native <= 'z') {
        return static_cast<uint16_t>(native - 'a' + 'A');
    }
    return 0;
}

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers) {
    TShiftState state;
    state.Shift = modifiers.testFlag(Qt::ShiftModifier);
    state.Ctrl = modifiers.testFlag(Qt::ControlModifier);
    state.Alt = modifiers.testFlag(Qt::AltModifier);
    return state;
}

}  // namespace velor::ui
