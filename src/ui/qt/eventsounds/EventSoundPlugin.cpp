// velor-event-sounds: the MessageBeep kinds as the desktop's own event sounds, through
// libcanberra, as the user's sound settings allow.

#include <canberra.h>

#include "ui/qt/EventSoundPlayer.h"
#include "ui/qt/eventsounds/DesktopSoundSettings.h"
#include "ui/qt/eventsounds/SoundEvents.h"

namespace velor::ui {

namespace {

class CanberraPlayer final : public IEventSoundPlayer {
  public:
    explicit CanberraPlayer(ca_context* context) : m_context(context) {}
    ~CanberraPlayer() override { ca_context_destroy(m_context); }
    CanberraPlayer(const CanberraPlayer&) = delete;
    CanberraPlayer& operator=(const CanberraPlayer&) = delete;

    void Play(BeepKind kind) override {
        // Played asynchronously; a sound missing from the theme is simply not heard.
        ca_context_play(m_context, 0, CA_PROP_EVENT_ID, SoundEventId(kind), CA_PROP_MEDIA_ROLE,
                        "event", nullptr);
    }

  private:
    ca_context* m_context;
};

IEventSoundPlayer* CreatePlayer() {
    const DesktopSoundSettings settings = ReadDesktopSoundSettings();
    ca_context* context = nullptr;
    if (!settings.EventSounds || ca_context_create(&context) != CA_SUCCESS) {
        return nullptr;
    }
    ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Velor Bootloader",
                            CA_PROP_APPLICATION_ID, "ua.velor.Bootloader",
                            CA_PROP_APPLICATION_ICON_NAME, "velor-bootloader",
                            CA_PROP_CANBERRA_XDG_THEME_NAME, settings.Theme.c_str(), nullptr);
    return new CanberraPlayer(context);
}

}  // namespace

}  // namespace velor::ui

extern "C" __attribute__((visibility("default"))) velor::ui::IEventSoundPlayer*
velor_create_event_sound_player() {
    return velor::ui::CreatePlayer();
}
