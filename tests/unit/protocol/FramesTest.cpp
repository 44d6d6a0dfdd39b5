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

TEST(SignedReplyAccepted, WantsAWholeReplyWithItsOwnCheckDigits) {
    const struct {
        const char* reply;
        const char* code;
        bool accepted;
    } cases[] = {
        {"g8484;", "84", true},
        {"g8585;", "85", true},
        {"g8686;", "86", true},
        {"g8584;", "85", false},  // an erase reply garbled into a write reply's head
        {"g8586;", "85", false},  // a program reply garbled the same way
        {"g8485;", "84", false},  // the check digits garbled
        // Several replies in one read are judged one by one.
        {"g8585;g8585;", "85", true},  // the line sent it twice
        {"g8686;g8686;", "86", true},
        {"g8484;g8585;", "85", true},  // a late erase reply before the write's own
        {"g8585;g8686;", "86", true},
        {"g8585;g8686;", "84", false},
        {"g8586;g8586;", "85", false},  // garbled in both copies
        {"g8585;g8", "85", true},       // the next copy cut by the read
        {"g85\x13"
         "85;",
         "85", false},                // a stray character inside
        {"\x13~g8585;", "85", true},  // ... or before: not the device's
        {"g8585;\x13", "85", true},   // ... or after
        {"gg8585;", "85", true},
        {"g85g85;", "85", false},
        {"g85;", "85", false},  // unsigned
        {"g85a5;", "85", false},
        {"g85 85;", "85", false},
        {"g8585", "85", false},
        {"xg85;", "85", false},
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

// The signed reply twice fills the 40 characters of an identify read.
constexpr const char* kSignedTwice = "g820201021040FFFFD5;g820201021040FFFFD5;";
constexpr const char* kUnsignedTwice = "g820201021040FFFF7A;g820201021040FFFF7A;";

TEST(IdentifyReplySettled, ADoubledReplyIsJudgedByItsFramesNotItsWholeText) {
    EXPECT_TRUE(IdentifyReplySettled(kSignedTwice, ""));
    EXPECT_TRUE(IdentifyReplySettled("\x05g820201021040FFFFD5;", ""));
    // Two alike doubled replies are no device that does not sign.
    EXPECT_FALSE(IdentifyReplySettled(kUnsignedTwice, kUnsignedTwice));
    EXPECT_FALSE(IdentifyReplySettled("g82;;", "g82;;"));
}

TEST(FirstSignedReply, FindsTheSignedReplyAmongNoiseCopiesAndOtherReplies) {
    EXPECT_EQ(FirstSignedReply(kSignedTwice, "82"), "g820201021040FFFFD5;");
    EXPECT_EQ(FirstSignedReply("\xF0g;g8484;g8585;", "84"), "g8484;");
    EXPECT_EQ(FirstSignedReply("\xF0g;g8484;g8585;", "85"), "g8585;");
    EXPECT_EQ(FirstSignedReply("g8181;g820201021040FFFFD5;", "82"), "g820201021040FFFFD5;");
    EXPECT_EQ(FirstSignedReply("g8484", "84"), "");
    EXPECT_EQ(FirstSignedReply("g84g84;", "84"), "");
    EXPECT_EQ(FirstSignedReply(kUnsignedTwice, "82"), "");
    EXPECT_EQ(FirstSignedReply("", "82"), "");
}

TEST(OneFrame, IsOneFrameAndNothingAround) {
    EXPECT_TRUE(OneFrame("g820201021040FFFF7A;"));
    EXPECT_FALSE(OneFrame(kUnsignedTwice));
    EXPECT_FALSE(OneFrame("xg8484;"));
    EXPECT_FALSE(OneFrame("g8484;x"));
    EXPECT_FALSE(OneFrame("g84;84;"));
    EXPECT_FALSE(OneFrame("g8484"));
    EXPECT_FALSE(OneFrame(""));
}

TEST(FirstSignedDescription, WantsTheDescriptionsOwnCheckCharacters) {
    // "83241003" sums to BA as hexadecimal pairs.
    EXPECT_EQ(FirstSignedDescription("g83241003BA;"), "g83241003BA;");
    EXPECT_EQ(FirstSignedDescription("g83251003BA;"), "");  // the stamp garbled: "251003"
    EXPECT_EQ(FirstSignedDescription("g83241003BA;g83241003BA;"), "g83241003BA;");
    EXPECT_EQ(FirstSignedDescription("~g8;g83241003BA;"), "g83241003BA;");
    EXPECT_EQ(FirstSignedDescription("g8324~~1003BA;"), "");
    EXPECT_EQ(FirstSignedDescription("g83241003ba;"), "");
    EXPECT_EQ(FirstSignedDescription("g83241003BA"), "");
    // Free text: the low byte of its character codes with the code's, here 56+51+65+10+66 = F8;
    // "g" and ";" may stand inside it.
    EXPECT_EQ(FirstSignedDescription("g83A\nBF8;"), "g83A\nBF8;");
    EXPECT_EQ(FirstSignedDescription("g83A\nCF8;"), "");
    EXPECT_EQ(FirstSignedDescription("g83g;0D;"), "g83g;0D;");  // 56+51+103+59 = 0x10D
    // An odd count of hexadecimal digits is free text: "8324100" sums its codes to 0x162.
    EXPECT_EQ(FirstSignedDescription("g832410062;"), "g832410062;");
    // A late reply of another command before it is passed over.
    EXPECT_EQ(FirstSignedDescription("g820201021040FFFFD5;g83241003BA;"), "g83241003BA;");
    EXPECT_EQ(FirstSignedDescription("g8585;g8181;"), "");
    EXPECT_EQ(FirstSignedDescription(""), "");
    EXPECT_EQ(FirstSignedDescription("g83;"), "");
}

TEST(DescriptionSettled, HexadecimalPairsAtOnceFreeTextWhenSaidTwice) {
    EXPECT_TRUE(DescriptionSettled("g83241003BA;", ""));
    // "241003" with its "4" garbled into "Y": the character codes still sum to BA.
    ASSERT_EQ(FirstSignedDescription("g832Y1003BA;"), "g832Y1003BA;");
    EXPECT_FALSE(DescriptionSettled("g832Y1003BA;", ""));
    EXPECT_FALSE(DescriptionSettled("g832Y1003BA;", "g83A\nBF8;"));
    EXPECT_TRUE(DescriptionSettled("g83A\nBF8;", "g83A\nBF8;"));
    EXPECT_FALSE(DescriptionSettled("", ""));
}

}  // namespace
}  // namespace velor
