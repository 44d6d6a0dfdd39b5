#include <gtest/gtest.h>

#include "mainform/KeyCodes.h"
#include "mainform/KeyboardRules.h"

namespace velor {
namespace {

using F = FocusTarget;

bool Any(F) {
    return true;
}

TEST(KeyboardRules, TabStepsThroughTheSeenControlsFromWhereverTheFocusIs) {
    const struct {
        const char* name;
        F from;
        bool service, forward;
        F to;
    } cases[] = {
        {"normal, wraps", F::ButtonWrite, false, true, F::cbPort},
        {"normal, back wraps", F::cbPort, false, false, F::ButtonWrite},
        // After a port choice the focus sits on the unseen detect button.
        {"unseen, forward", F::ButtonConect, false, true, F::cbPort},
        {"unseen, back", F::ButtonConect, false, false, F::ButtonWrite},
        {"memo, forward", F::MemoAbout, false, true, F::cbPort},
        {"memo, back", F::MemoAbout, false, false, F::ButtonWrite},
        {"service, last wraps", F::cbBaudRate, true, true, F::cbPort},
        {"service, into the panel", F::ButtonWrite, true, true, F::ButtonConect},
        {"service, back", F::cbPort, true, false, F::cbBaudRate},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NextFocus(c.from, c.service, c.forward, Any), c.to) << c.name;
    }
}

TEST(KeyboardRules, DisabledControlsArePassedOverAndNoneLeavesTheFocus) {
    const auto writeOff = [](F t) { return t != F::ButtonWrite && t != F::ButtonConect; };
    EXPECT_EQ(NextFocus(F::cbPort, true, true, writeOff), F::ButtonOpenHex);
    EXPECT_EQ(NextFocus(F::cbPort, false, true, writeOff), F::cbPort);
    EXPECT_EQ(NextFocus(F::sButton2, true, false, [](F) { return false; }), F::sButton2);
}

TEST(KeyboardRules, EnterPressesAFocusedButtonOtherKeysDoNot) {
    EXPECT_TRUE(PressesFocusedButton(kKeyReturn));
    EXPECT_FALSE(PressesFocusedButton(kKeyDelete));
    EXPECT_FALSE(PressesFocusedButton(0));
}

}  // namespace
}  // namespace velor
