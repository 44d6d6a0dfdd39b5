#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "firmware/FirmwareImage.h"

namespace velor {
namespace {

constexpr int64_t kBytes = FirmwareImage::kByteCount;
constexpr int64_t kMax64 = std::numeric_limits<int64_t>::max();

TEST(FirmwareImage, EmptyImageReadsNothingAndTakesNoWrites) {
    FirmwareImage image;
    EXPECT_TRUE(image.Empty());
    EXPECT_EQ(image.Read(0, 16), "");
    EXPECT_EQ(image.Read(0, kBytes), "");
    EXPECT_FALSE(image.WriteChars(0, "12"));
    EXPECT_TRUE(image.CoveredRanges().empty());
}

TEST(FirmwareImage, ReadsOfAFilledImageAreClippedToItsEnd) {
    FirmwareImage image;
    image.Fill();
    const struct {
        int64_t address, count;
        std::size_t length;
    } cases[] = {
        {0, 4, 8},
        {0, 0, 0},
        {kBytes - 1, 1, 2},
        {kBytes - 2, 5, 4},         // ends past 19,999,999: only what exists
        {kBytes - 10, kMax64, 20},  // a count that would overflow 2*count
        {kBytes, 1, 0},
        {kMax64, kMax64, 0},
        {-1, 4, 0},
        {4, -1, 0},
    };
    for (const auto& c : cases) {
        const std::string read = image.Read(c.address, c.count);
        EXPECT_EQ(read, std::string(c.length, 'F')) << c.address << " " << c.count;
    }
    EXPECT_EQ(image.Read(0, kBytes), std::string(40'000'000, 'F'));
}

// Every read must equal the same cut of one flat 40,000,000-character string, whatever chunks
// the writes and the reads cross.
TEST(FirmwareImage, AgreesWithAFlatStringOverRandomWritesAndReads) {
    std::string flat(2 * kBytes, 'F');
    FirmwareImage image;
    image.Fill();
    std::mt19937_64 rng(20241004);
    auto write = [&](int64_t offset, int64_t size) {
        std::string chars(static_cast<std::size_t>(size), '0');
        for (auto& c : chars) {
            c = "0123456789ABCDEF"[rng() % 16];
        }
        ASSERT_TRUE(image.WriteChars(offset, chars));
        flat.replace(static_cast<std::size_t>(offset), chars.size(), chars);
    };
    write(65536 - 6, 12);             // across the first chunk boundary
    write(2 * kBytes - 40, 40);       // the very end, in the last (partial) chunk
    write(3 * 65536 - 2, 65536 + 4);  // one write spanning three chunks
    for (int i = 0; i < 300; ++i) {
        const auto size = static_cast<int64_t>(2 + 2 * (rng() % 300));
        write(static_cast<int64_t>(2 * (rng() % (kBytes - size))), size);
    }
    for (int i = 0; i < 2000; ++i) {
        const auto address = static_cast<int64_t>(rng() % (kBytes + 100));
        const auto count = static_cast<int64_t>(rng() % 70000);
        const auto begin = static_cast<std::size_t>(std::min(2 * address, 2 * kBytes));
        ASSERT_EQ(image.Read(address, count), flat.substr(begin, 2 * count))
            << address << " " << count;
    }
}

TEST(FirmwareImage, WritesThatDoNotFitWhollyAreRefusedUntouched) {
    FirmwareImage image;
    image.Fill();
    EXPECT_FALSE(image.WriteChars(2 * kBytes - 2, "1234"));
    EXPECT_FALSE(image.WriteChars(-2, "1234"));
    EXPECT_FALSE(image.WriteChars(kMax64 - 1, "12"));
    EXPECT_EQ(image.Read(kBytes - 2, 2), "FFFF");
    EXPECT_EQ(image.Read(0, 1), "FF");
    EXPECT_TRUE(image.CoveredRanges().empty());
    EXPECT_TRUE(image.WriteChars(2 * kBytes - 4, "1234"));
    EXPECT_EQ(image.Read(kBytes - 2, 2), "1234");
}

TEST(FirmwareImage, CoveredRangesMergeAdjacentAndOverlappingWrites) {
    FirmwareImage image;
    image.Fill();
    ASSERT_TRUE(image.WriteChars(2 * 40, std::string(2 * 11, '0')));  // 40-50
    ASSERT_TRUE(image.WriteChars(2 * 0, std::string(2 * 4, '0')));    // 0-3
    ASSERT_TRUE(image.WriteChars(2 * 4, std::string(2 * 2, '0')));    // 4-5, adjacent
    ASSERT_TRUE(image.WriteChars(2 * 45, std::string(2 * 10, '0')));  // 45-54, overlapping
    ASSERT_TRUE(image.WriteChars(2 * 42, std::string(2 * 2, '0')));   // inside 40-54
    ASSERT_TRUE(image.WriteChars(2 * 60, ""));                        // nothing
    EXPECT_EQ(image.CoveredRanges(), (std::vector<ByteRange>{{0, 5}, {40, 54}}));

    image.Fill();  // forgets every write
    EXPECT_TRUE(image.CoveredRanges().empty());
    EXPECT_EQ(image.Read(0, 4), "FFFFFFFF");
}

}  // namespace
}  // namespace velor
