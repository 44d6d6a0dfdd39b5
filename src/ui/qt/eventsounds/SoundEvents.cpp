#include "ui/qt/eventsounds/SoundEvents.h"

namespace velor::ui {

const char* SoundEventId(BeepKind kind) {
    switch (kind) {
        case BeepKind::Hand:
            return "dialog-error";
        case BeepKind::Question:
            return "dialog-question";
        case BeepKind::Exclamation:
            return "dialog-warning";
        case BeepKind::Asterisk:
            return "dialog-information";
    }
    return "dialog-information";
}

}  // namespace velor::ui
