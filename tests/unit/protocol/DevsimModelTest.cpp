// The simulated bootloader is the yardstick of the protocol tests: these check that it keeps
// the rules the host is held to.
#include <gtest/gtest.h>

#include "BootloaderModel.h"
#include "FrameParser.h"

namespace devsim {
namespace {

TEST(DevsimFrameParser, SwallowsTheWakeUpAndNoiseAndCutsFramesAtTheTerminator) {
    FrameParser parser;
    std::vector<std::string> frames;
    parser.Feed("gggggg02", frames);
    parser.Feed("02;xyg0303;g01", frames);
    EXPECT_EQ(frames, (std::vector<std::string>{"g0202;", "g0303;"}));
    parser.Feed("01;", frames);
    EXPECT_EQ(frames.back(), "g0101;");
}

TEST(DevsimFrameParser, AFrameOfTheLongestLengthPassesAndOneCharacterMoreIsDropped) {
    // Found by fuzzing: a terminator right after the limit used to end an overlong frame.
    const std::string longest = "g" + std::string(FrameParser::kMaxFrame - 2, '0') + ";";
    const std::string tooLong = "g" + std::string(FrameParser::kMaxFrame - 1, '0') + ";";
    FrameParser parser;
    std::vector<std::string> frames;
    parser.Feed(longest, frames);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].size(), FrameParser::kMaxFrame);
    parser.Feed(tooLong, frames);
    EXPECT_EQ(frames.size(), 1u);
    EXPECT_EQ(parser.Discarded(), tooLong.size());
    parser.Feed("g0202;", frames);  // and the next frame is read as ever
    EXPECT_EQ(frames.back(), "g0202;");
}

ModelConfig SmallDevice() {
    ModelConfig config;
    config.geometry = {2, 4, 4};  // pages of 8 bytes
    return config;
}

TEST(DevsimModel, AnswersOnlyFramesWithTheirCheckDigits) {
    BootloaderModel model(SmallDevice());
    EXPECT_EQ(model.Handle("g0202;").reply, "g820201020204000491;");
    EXPECT_FALSE(model.Handle("g0203;").reply);  // wrong check digits
    EXPECT_FALSE(model.Handle("g02z2;").reply);  // not hexadecimal
    EXPECT_FALSE(model.Handle("g0400000005;").reply);
    EXPECT_EQ(model.Handle("g0400000004;").reply, "g8484;");
}

TEST(DevsimModel, ProgramsTheLastWrittenBlockAtItsPlaceInTheErasedPage) {
    BootloaderModel model(SmallDevice());
    EXPECT_FALSE(model.Handle("g0606;").reply);  // nothing erased or written yet
    ASSERT_TRUE(model.Handle("g040000080C;").reply);
    ASSERT_TRUE(model.Handle("g050211223344B1;").reply);  // block 2 of the page at 8
    ASSERT_TRUE(model.Handle("g0606;").reply);
    const auto& m = model.Memory();
    EXPECT_EQ(std::vector<uint8_t>(m.begin() + 8, m.begin() + 16),
              (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0x11, 0x22, 0x33, 0x44}));
    // Flash only clears bits: programming again without an erase keeps the cleared ones.
    ASSERT_TRUE(model.Handle("g0502F0F0F0F0C7;").reply);
    ASSERT_TRUE(model.Handle("g0606;").reply);
    EXPECT_EQ(model.Memory()[12], 0x10);
    EXPECT_FALSE(model.Handle("g050311223344B2;").reply);  // no block 3 in a page of 2
}

TEST(DevsimModel, DescribesItselfByTheStampInItsMemoryAfterAReset) {
    ModelConfig config;  // 16:64:64, 64 KiB
    config.description = "241003";
    BootloaderModel model(config);
    EXPECT_EQ(model.Handle("g0303;").reply->substr(0, 9), "g83241003");
    // Write "241004" at F0E0: page F000, block 4 of 64 bytes starts at F0C0, offset 32.
    ASSERT_TRUE(model.Handle("g0400F000F4;").reply);
    std::string data = std::string(64, 'F') + "323431303034" + std::string(52, 'F');
    const auto check = CheckDigits("0504" + data);
    ASSERT_TRUE(model.Handle("g0504" + data + *check + ";").reply);
    ASSERT_TRUE(model.Handle("g0606;").reply);
    EXPECT_EQ(model.Description(), "241003");  // until the device restarts
    EXPECT_TRUE(model.Handle("g0101;").reset);
    EXPECT_EQ(model.Description(), "241004");
}

}  // namespace
}  // namespace devsim
