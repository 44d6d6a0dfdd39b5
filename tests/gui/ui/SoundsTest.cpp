// The beeps are the desktop's event sounds; the tones' audio stack is loaded at the first tone
// and not before.
#include "ui/qt/Sounds.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "ui/qt/SoundEvents.h"

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

TEST(Sounds, QtMultimediaWaitsForTheFirstTone) {
    int argc = 1;
    char name[] = "sounds-test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    ASSERT_EQ(Maps().find("libQt6Multimedia"), std::string::npos)
        << "the program links Qt Multimedia";
    {
        Sounds sounds(true, {QStringLiteral(VELOR_TONES_MODULE)});
        for (BeepKind kind :
             {BeepKind::Hand, BeepKind::Question, BeepKind::Exclamation, BeepKind::Asterisk}) {
            sounds.MessageBeep(kind);
        }
        EXPECT_EQ(Maps().find("velor-tones"), std::string::npos);
        EXPECT_EQ(Maps().find("libQt6Multimedia"), std::string::npos);
        sounds.Tone(1200, 1);
        EXPECT_NE(Maps().find("velor-tones.so"), std::string::npos);
        EXPECT_NE(Maps().find("libQt6Multimedia"), std::string::npos);
        sounds.Tone(800, 1);  // the module is loaded once
    }
    // Silent sounds load nothing, even for a tone.
    Sounds silent(false, {QStringLiteral("/nonexistent/velor-tones.so")});
    silent.Tone(500, 1);
    silent.MessageBeep(BeepKind::Hand);
}

}  // namespace
}  // namespace velor::ui
