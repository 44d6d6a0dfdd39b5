#include "ui/qt/Sounds.h"

#include <QThread>

namespace velor::ui {

Sounds::Sounds(bool enabled, SoundModulePaths modules)
    : m_enabled(enabled),
      m_events(std::move(modules.EventSounds), "velor-event-sounds.so",
               kCreateEventSoundPlayerSymbol),
      m_tones(std::move(modules.Tones), "velor-tones.so", kCreateTonePlayerSymbol) {}

void Sounds::MessageBeep(BeepKind kind) {
    if (!m_enabled) {
        return;
    }
    if (IEventSoundPlayer* player = m_events.Get()) {
        player->Play(kind);
    }
}

void Sounds::Tone(int hertz, int milliseconds) {
    if (milliseconds <= 0) {
        return;
    }
    if (m_enabled) {
        if (ITonePlayer* player = m_tones.Get()) {
            player->Start(hertz, milliseconds);
        }
    }
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

}  // namespace velor::ui
