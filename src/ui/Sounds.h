#pragma once
// The system beeps and tones through Qt Multimedia. Playback runs on its own thread so that a
// tone sounds while the user-interface thread sleeps through it, as the flasher's waits do.
// Without an audio output everything is silent; Tone still takes its time.

#include <QThread>
#include <memory>

#include "app/Host.h"

namespace velor::ui {

class TonePlayer;

class Sounds {
  public:
    // enabled false: silent whatever the machine has (tests).
    explicit Sounds(bool enabled = true);
    ~Sounds();
    Sounds(const Sounds&) = delete;
    Sounds& operator=(const Sounds&) = delete;

    bool HasOutput() const { return m_player != nullptr; }
    // Starts the beep's short tune and returns at once.
    void MessageBeep(BeepKind kind);
    // A sine of the frequency for the duration; returns when that time has passed.
    void Tone(int hertz, int milliseconds);

  private:
    void Play(const QByteArray& pcm);

    QThread m_thread;
    TonePlayer* m_player = nullptr;  // lives on m_thread, deleted when it finishes
};

}  // namespace velor::ui
