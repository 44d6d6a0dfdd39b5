#pragma once
// The system beeps and tones. The MessageBeep kinds play the desktop's own event sounds, as the
// user's sound settings allow, from the module velor-event-sounds; the tones play through Qt
// Multimedia, from the module velor-tones. Each module is loaded when its first sound plays.
// Without an audio output everything is silent; Tone still takes its time.

#include <QStringList>

#include "app/Host.h"
#include "ui/qt/EventSoundPlayer.h"
#include "ui/qt/SoundModule.h"
#include "ui/qt/TonePlayer.h"

namespace velor::ui {

// Where to look for each module, first found wins; empty: beside the program, then where it is
// installed.
struct SoundModulePaths {
    QStringList Tones;
    QStringList EventSounds;
};

class Sounds {
  public:
    // enabled false: silent whatever the machine has (tests).
    explicit Sounds(bool enabled = true, SoundModulePaths modules = {});

    // Starts the kind's event sound and returns at once.
    void MessageBeep(BeepKind kind);
    // A sine of the frequency for the duration; returns when that time has passed.
    void Tone(int hertz, int milliseconds);

  private:
    bool m_enabled;
    SoundModule<IEventSoundPlayer> m_events;
    SoundModule<ITonePlayer> m_tones;
};

}  // namespace velor::ui
