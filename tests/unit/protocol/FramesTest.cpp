#include <gtest/gtest.h>

#include "protocol/Frames.h"

namespace velor {
namespace {

TEST(MakeFrame, WrapsTheBodyWithItsCheckDigits) {
    const struct {
        const char* body;
        const char* frame;
    } cases[] = {
        {"04000000", "g0400000004;"},
        {"04000400", "g0400040008;"},
        {"02", "g0202;"},
        {"01", "g0101;"},
        {"06", "g0606;"},
        {"050145EF01F0", "g050145EF01F02B;"},  // 0x22B: only the low byte is kept
        {"05FFFFFFFF", "g05FFFFFFFF01;"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MakeFrame(c.body), c.frame) << c.body;
    }
}

TEST(MakeFrame, IntoReplacesWhatTheBufferHeld) {
    std::string out = "g0505050505050505;";
    MakeFrameInto(out, "02");
    EXPECT_EQ(out, "g0202;");
}

TEST(HexAddress, HasAtLeastSixUppercaseDigitsAndNeverCutsAValue) {
    const struct {
        int64_t address;
        const char* text;
    } cases[] = {
        {0, "000000"},        {0x400, "000400"},      {0xABCDEF, "ABCDEF"},
        {0xFFFFFF, "FFFFFF"}, {0x1000000, "1000000"}, {0x12345678, "12345678"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HexAddress(c.address), c.text) << c.address;
    }
}

TEST(ReplyAccepted, LooksOnlyAtTheHeadAndTheLastCharacter) {
    const struct {
        const char* reply;
        const char* code;
        bool accepted;
    } cases[] = {
        {"g84;", "84", true},
        {"g8484;", "84", true},
        {"g84 anything at all ;", "84", true},
        {"g84", "84", false},      // no terminator
        {"G84;", "84", false},     // upper-case start
        {"xg8484;", "84", false},  // a stray character in front
        {"g8584;", "84", false},   // another command's reply
        {"g8585;", "85", true},
        {"g8686;", "86", true},
        {"g8;", "84", false},
        {";", "84", false},
        {"", "84", false},
        {"g86;\n", "86", false},  // something after the terminator
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReplyAccepted(c.reply, c.code), c.accepted) << '"' << c.reply << "\" " << c.code;
    }
}

}  // namespace
}  // namespace velor
