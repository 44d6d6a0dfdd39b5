#pragma once
// The desktop's own event sounds (the freedesktop sound theme) that stand for the MessageBeep
// kinds.

#include "app/Host.h"

namespace velor::ui {

// "dialog-information", "dialog-question", "dialog-warning" or "dialog-error".
const char* SoundEventId(BeepKind kind);

}  // namespace velor::ui
