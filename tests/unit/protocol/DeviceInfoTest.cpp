#include <gtest/gtest.h>

#include "protocol/DeviceInfo.h"

namespace velor {
namespace {

TEST(FillDeviceInfo, ReadsEveryFieldOfAFullReply) {
    DeviceInfo info;
    FillDeviceInfo("g820201021040FFFF7A;", info);
    EXPECT_EQ(info.BootloaderVersion, "02");
    EXPECT_EQ(info.InfoField1, "01");
    EXPECT_EQ(info.InfoField2, "02");
    EXPECT_EQ(info.BlocksPerPage, 16);
    EXPECT_EQ(info.BlockSize, 64);
    EXPECT_EQ(info.PageCount, 65535);
}

TEST(FillDeviceInfo, ShortAndMalformedRepliesGiveWhatIsThere) {
    const struct {
        const char* reply;
        const char* version;
        const char* info1;
        int64_t blocksPerPage, blockSize, pageCount;
    } cases[] = {
        {"g82;", ";", "", 0, 0, 0},
        {"g82", "", "", 0, 0, 0},
        {"", "", "", 0, 0, 0},
        {"g8202010210", "02", "01", 0x10, 0, 0},                 // cut off after blocks per page
        {"g820201021040FF", "02", "01", 0x10, 0x40, 0xFF},       // the page count digits there are
        {"g82020102ab40fFfF;", "02", "01", 0xAB, 0x40, 0xFFFF},  // lower case reads as hex
        {"g8202010Z1040ZZZZ;", "02", "01", 0x10, 0x40, 0},       // not hexadecimal: 0
        {"g82020102104000;;", "02", "01", 0x10, 0x40, 0},        // ';' inside the page count
    };
    for (const auto& c : cases) {
        DeviceInfo info;
        info.PageCount = 77;  // every field is replaced
        FillDeviceInfo(c.reply, info);
        EXPECT_EQ(info.BootloaderVersion, c.version) << c.reply;
        EXPECT_EQ(info.InfoField1, c.info1) << c.reply;
        EXPECT_EQ(info.BlocksPerPage, c.blocksPerPage) << c.reply;
        EXPECT_EQ(info.BlockSize, c.blockSize) << c.reply;
        EXPECT_EQ(info.PageCount, c.pageCount) << c.reply;
    }
}

TEST(FillDeviceInfo, NotesWhetherTheDeviceSignsItsReplies) {
    DeviceInfo info;
    FillDeviceInfo("g820201021040FFFFD5;", info);
    EXPECT_TRUE(info.SignsReplies);
    FillDeviceInfo("g820201021040FFFF7A;", info);  // the old rule's "any two characters"
    EXPECT_FALSE(info.SignsReplies);
    EXPECT_EQ(info.PageCount, 65535);
    // Only a reply that is one frame can switch the check off: a doubled reply, one with stray
    // characters or one without its end says nothing of the device.
    for (const char* reply :
         {"g820201021040FFFF7A;g820201021040FFFF7A;", "g820201021040FFFFD5;g820201021040FFFFD5;",
          "\x13g820201021040FFFF7A;", "g820201021040FFFF7A;\x13", "g82"}) {
        FillDeviceInfo("g820201021040FFFF7A;", info);  // every identification decides afresh
        FillDeviceInfo(reply, info);
        EXPECT_TRUE(info.SignsReplies) << reply;
    }
}

TEST(ReplyCodeOf, TakesCharactersTwoAndThreeAsFarAsTheyGo) {
    EXPECT_EQ(ReplyCodeOf("g820201021040FFFF7A;"), "82");
    EXPECT_EQ(ReplyCodeOf("g8"), "8");
    EXPECT_EQ(ReplyCodeOf("g"), "");
    EXPECT_EQ(ReplyCodeOf(""), "");
}

}  // namespace
}  // namespace velor
