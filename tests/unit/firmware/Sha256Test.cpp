#include <gtest/gtest.h>

#include <string>

#include "firmware/FirmwareImage.h"
#include "firmware/ImageDigest.h"
#include "firmware/Sha256.h"

namespace velor {
namespace {

// The vectors of FIPS 180-4's examples and the NIST test suite.
TEST(Sha256, PublishedVectors) {
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(Sha256Hex("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmn"
                        "hijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu"),
              "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
    EXPECT_EQ(Sha256Hex(std::string(1'000'000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

// Lengths around the block and padding boundaries, fed whole and in uneven pieces.
TEST(Sha256, PiecesGiveTheDigestOfTheWhole) {
    for (std::size_t length : {55u, 56u, 63u, 64u, 65u, 119u, 120u, 128u, 1000u}) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i) {
            text += static_cast<char>(i * 7 + 3);
        }
        Sha256 pieces;
        for (std::size_t at = 0; at < length; at += 13) {
            pieces.Update(std::string_view(text).substr(at, 13));
        }
        EXPECT_EQ(pieces.HexDigest(), Sha256Hex(text)) << length;
    }
    // Bytes above 0x7F count as unsigned.
    EXPECT_EQ(Sha256Hex("\xff"),
              "a8100ae6aa1940d0b663bb31cd466142ebbdbd5187131b92d93818987832eb89");
}

TEST(ImageDigest, CoversAddressZeroToTheLastByteWritten) {
    FirmwareImage image;
    EXPECT_EQ(ImageSha256(image), "");
    image.Fill();
    ASSERT_TRUE(image.WriteChars(2 * 2, "6162"));  // "ab" at addresses 2 and 3
    EXPECT_EQ(ImageSha256(image), Sha256Hex("\xff\xff"
                                            "ab"));
    EXPECT_EQ(ImageReleaseStamp(image), "");
    ASSERT_TRUE(image.WriteChars(2 * 0xF0E0, "323431303034"));
    EXPECT_EQ(ImageReleaseStamp(image), "241004");
    ASSERT_TRUE(image.WriteChars(2 * 0xF0E2, "41"));  // "24A004": not a release
    EXPECT_EQ(ImageReleaseStamp(image), "");
}

}  // namespace
}  // namespace velor
