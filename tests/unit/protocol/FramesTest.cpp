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

TEST(SignedReplyAccepted, WantsOneWholeReplyWithItsOwnCheckDigits) {
    const struct {
        const char* reply;
        const char* code;
        bool accepted;
    } cases[] = {
        {"g8484;", "84", true},
        {"g8585;", "85", true},
        {"g8686;", "86", true},
        {"g8584;", "85", false},        // an erase reply garbled into a write reply's head
        {"g8586;", "85", false},        // a program reply garbled the same way
        {"g8485;", "84", false},        // the check digits garbled
        {"g8585;g8686;", "85", false},  // two replies read as one
        {"g8686;g8686;", "86", false},
        {"g85;", "85", false},  // unsigned
        {"g85a5;", "85", false},
        {"g85 85;", "85", false},
        {"g8585", "85", false},
        {"xg8585;", "85", false},
        {"", "85", false},
        {"g850102;", "85", false},  // a payload with wrong check digits
        {"g850103;", "85", false},
        {"g85010288;", "85", true},  // a payload the device signed
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SignedReplyAccepted(c.reply, c.code), c.accepted)
            << '"' << c.reply << "\" " << c.code;
    }
}

TEST(ReplySigned, TellsASigningDeviceByItsIdentifyReply) {
    EXPECT_TRUE(ReplySigned("g820201021040FFFFD5;"));
    EXPECT_FALSE(ReplySigned("g820201021040FFFF7A;"));  // any two characters: not signed
    EXPECT_FALSE(ReplySigned("g820201021040FFFFd5;"));  // the device writes uppercase digits
    EXPECT_FALSE(ReplySigned("g820201021040FFFFD5"));
    EXPECT_FALSE(ReplySigned("g820201021040FFFD5;"));  // an odd body is no set of pairs
    EXPECT_FALSE(ReplySigned("g82;"));
    EXPECT_FALSE(ReplySigned(""));
    EXPECT_TRUE(ReplySigned("g00;"));  // empty body, sum 00
}

TEST(IdentifyReplySettled, ASignedReplyAtOnceAnUnsignedOneWhenRepeated) {
    EXPECT_TRUE(IdentifyReplySettled("g820201021040FFFFD5;", ""));
    EXPECT_FALSE(IdentifyReplySettled("g820201021040FFFF7A;", ""));
    EXPECT_TRUE(IdentifyReplySettled("g820201021040FFFF7A;", "g820201021040FFFF7A;"));
    EXPECT_FALSE(IdentifyReplySettled("g820201021040FFFF7A;", "g820201021040FFFH7A;"));
    EXPECT_FALSE(IdentifyReplySettled("g820201021040FFFFD5", "g820201021040FFFFD5"));
    EXPECT_FALSE(IdentifyReplySettled("", ""));
}

}  // namespace
}  // namespace velor
