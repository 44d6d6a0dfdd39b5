// The beeps are the desktop's event sounds; each audio stack is loaded at its first sound and not
// before.
#include "ui/qt/Sounds.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "ui/qt/eventsounds/SoundEvents.h"

namespace velor::ui {
namespace {

std::string Maps() {
    std::ifstream in("/proc/self/maps");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(SoundEvents, EachBeepKindHasItsFreedesktopEvent) {
    EXPECT_STREQ(SoundEventId(BeepKind::Hand), "dialog-error");
    EXPECT_STREQ(SoundEventId(BeepKind::Question), "dialog-question");
    EXPECT_STREQ(SoundEventId(BeepKind::Exclamation), "dialog-warning");
    EXPECT_STREQ(SoundEventId(BeepKind::Asterisk), "dialog-information");
}

TEST(Sounds, EachAudioStackWaitsForItsFirstSound) {
    int argc = 1;
    char name[] = "sounds-test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    ASSERT_EQ(Maps().find("libQt6Multimedia"), std::string::npos)
        << "the program links Qt Multimedia";
    ASSERT_EQ(Maps().find("libcanberra"), std::string::npos) << "the program links libcanberra";
    ASSERT_EQ(Maps().find("libgio"), std::string::npos) << "the program links GIO";
    {
        Sounds sounds(true, {.Tones = {QStringLiteral(VELOR_TONES_MODULE)},
                             .EventSounds = {QStringLiteral(VELOR_EVENT_SOUNDS_MODULE)}});
        sounds.Tone(0, 0);  // no time, no sound: nothing to load
        EXPECT_EQ(Maps().find("velor-tones"), std::string::npos);
        for (BeepKind kind :
             {BeepKind::Hand, BeepKind::Question, BeepKind::Exclamation, BeepKind::Asterisk}) {
            sounds.MessageBeep(kind);
        }
        EXPECT_NE(Maps().find("velor-event-sounds.so"), std::string::npos);
        EXPECT_NE(Maps().find("libcanberra"), std::string::npos);
        EXPECT_EQ(Maps().find("velor-tones"), std::string::npos);
        EXPECT_EQ(Maps().find("libQt6Multimedia"), std::string::npos);
        sounds.Tone(1200, 1);
        EXPECT_NE(Maps().find("velor-tones.so"), std::string::npos);
        EXPECT_NE(Maps().find("libQt6Multimedia"), std::string::npos);
        sounds.Tone(800, 1);  // the module is loaded once
    }
    // Silent sounds load nothing, even for a tone.
    Sounds silent(false, {.Tones = {QStringLiteral("/nonexistent/velor-tones.so")},
                          .EventSounds = {QStringLiteral("/nonexistent/velor-event-sounds.so")}});
    silent.Tone(500, 1);
    silent.MessageBeep(BeepKind::Hand);
}

}  // namespace
}  // namespace velor::ui
