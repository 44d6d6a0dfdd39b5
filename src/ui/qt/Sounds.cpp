#include "ui/qt/Sounds.h"

#include <canberra.h>

#include <QCoreApplication>
#include <QThread>

#include "ui/qt/DesktopSoundSettings.h"
#include "ui/qt/SoundEvents.h"

namespace velor::ui {

namespace {

// Beside the program in the build tree, under the library folder once installed.
QStringList TonesModuleCandidates() {
    const QString dir = QCoreApplication::applicationDirPath();
    return {dir + QStringLiteral("/velor-tones.so"),
            dir + QStringLiteral("/" VELOR_TONES_INSTALL_RELATIVE "/velor-tones.so")};
}

}  // namespace

Sounds::Sounds(bool enabled, QStringList tonesModules)
    : m_enabled(enabled), m_tonesModules(std::move(tonesModules)) {
    if (!enabled) {
        return;
    }
    const DesktopSoundSettings settings = ReadDesktopSoundSettings();
    if (!settings.EventSounds || ca_context_create(&m_events) != CA_SUCCESS) {
        m_events = nullptr;
        return;
    }
    ca_context_change_props(m_events, CA_PROP_APPLICATION_NAME, "Velor Bootloader",
                            CA_PROP_APPLICATION_ID, "ua.velor.Bootloader",
                            CA_PROP_APPLICATION_ICON_NAME, "velor-bootloader",
                            CA_PROP_CANBERRA_XDG_THEME_NAME, settings.Theme.c_str(), nullptr);
}

Sounds::~Sounds() {
    m_player.reset();  // its thread ends before the module could go
    if (m_events != nullptr) {
        ca_context_destroy(m_events);
    }
}

void Sounds::MessageBeep(BeepKind kind) {
    if (m_events == nullptr) {
        return;
    }
    // Played asynchronously; a sound missing from the theme is simply not heard.
    ca_context_play(m_events, 0, CA_PROP_EVENT_ID, SoundEventId(kind), CA_PROP_MEDIA_ROLE, "event",
                    nullptr);
}

ITonePlayer* Sounds::Player() {
    if (!m_tonesTried) {
        m_tonesTried = true;
        if (m_tonesModules.isEmpty()) {
            m_tonesModules = TonesModuleCandidates();
        }
        for (const QString& path : m_tonesModules) {
            m_tonesModule.setFileName(path);
            if (!m_tonesModule.load()) {
                continue;
            }
            auto create = reinterpret_cast<CreateTonePlayerFunction>(
                m_tonesModule.resolve(kCreateTonePlayerSymbol));
            if (create != nullptr) {
                m_player.reset(create());
            }
            break;
        }
    }
    return m_player.get();
}

void Sounds::Tone(int hertz, int milliseconds) {
    if (milliseconds <= 0) {
        return;
    }
    if (m_enabled) {
        if (ITonePlayer* player = Player()) {
            player->Start(hertz, milliseconds);
        }
    }
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

}  // namespace velor::ui
