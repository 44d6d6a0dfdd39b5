#pragma once
// The system beeps and tones. The MessageBeep kinds play the desktop's own event sounds through
// libcanberra, as the user's sound settings allow; the tones play through Qt Multimedia, in the
// module velor-tones that is loaded when the first tone plays. Without an audio output everything
// is silent; Tone still takes its time.

#include <QLibrary>
#include <QStringList>
#include <memory>

#include "app/Host.h"
#include "ui/qt/TonePlayer.h"

struct ca_context;

namespace velor::ui {

class Sounds {
  public:
    // enabled false: silent whatever the machine has (tests). tonesModules: where to look for
    // velor-tones, first found wins; empty: beside the program, then where it is installed.
    explicit Sounds(bool enabled = true, QStringList tonesModules = {});
    ~Sounds();
    Sounds(const Sounds&) = delete;
    Sounds& operator=(const Sounds&) = delete;

    // Starts the kind's event sound and returns at once.
    void MessageBeep(BeepKind kind);
    // A sine of the frequency for the duration; returns when that time has passed.
    void Tone(int hertz, int milliseconds);

  private:
    ITonePlayer* Player();

    bool m_enabled;
    QStringList m_tonesModules;
    ca_context* m_events = nullptr;
    bool m_tonesTried = false;
    QLibrary m_tonesModule;
    std::unique_ptr<ITonePlayer> m_player;
};

}  // namespace velor::ui
