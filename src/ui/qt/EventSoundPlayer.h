#pragma once
// The event-sound player that lives in the loadable module velor-event-sounds (libcanberra and
// GSettings), so that the program loads the desktop's sound stack only when the first beep sounds.

#include "app/Host.h"

namespace velor::ui {

class IEventSoundPlayer {
  public:
    virtual ~IEventSoundPlayer() = default;
    // Starts the kind's event sound and returns at once.
    virtual void Play(BeepKind kind) = 0;
};

// The module's one entry point, IEventSoundPlayer* (): a new player (null when the user has
// switched event sounds off or the desktop has no sound server), owned by the caller.
inline constexpr const char* kCreateEventSoundPlayerSymbol = "velor_create_event_sound_player";

}  // namespace velor::ui
