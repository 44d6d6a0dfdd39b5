#pragma once
// The user's event-sound settings as the desktop keeps them (GSettings org.gnome.desktop.sound,
// which GNOME, Cinnamon, MATE's successors and GTK's settings daemon share).

#include <string>

namespace velor::ui {

struct DesktopSoundSettings {
    bool EventSounds = true;            // "event-sounds": off silences the MessageBeep kinds
    std::string Theme = "freedesktop";  // "theme-name"
};

// The defaults where the desktop keeps no such settings.
DesktopSoundSettings ReadDesktopSoundSettings();

}  // namespace velor::ui
