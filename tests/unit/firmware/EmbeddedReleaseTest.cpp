#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "firmware/EmbeddedRelease.h"

namespace velor {
namespace {

// Parsed here with code of its own, not the library's.
struct Record {
    int count = 0, address = 0, type = 0;
    std::vector<int> data;
    bool checksumOk = false;
};

int Hex2(const std::string& s, std::size_t at) {
    return std::stoi(s.substr(at, 2), nullptr, 16);
}

Record Parse(const std::string& line) {
    Record r;
    r.count = Hex2(line, 1);
    r.address = Hex2(line, 3) * 256 + Hex2(line, 5);
    r.type = Hex2(line, 7);
    int sum = r.count + Hex2(line, 3) + Hex2(line, 5) + r.type;
    for (std::size_t at = 9; at + 2 < line.size(); at += 2) {
        r.data.push_back(Hex2(line, at));
        sum += r.data.back();
    }
    r.checksumOk = ((sum + Hex2(line, line.size() - 2)) & 0xFF) == 0;
    return r;
}

std::vector<std::string> CrLfLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find("\r\n", start)) != std::string_view::npos;
         start = at + 2) {
        lines.emplace_back(text.substr(start, at - start));
    }
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return lines;
}

TEST(EmbeddedRelease, IsTheResourceFileByteForByte) {
    std::ifstream in(VELOR_RELEASE_HEX, std::ios::binary);
    ASSERT_TRUE(in) << VELOR_RELEASE_HEX;
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(EmbeddedReleaseText(), file);
}

TEST(EmbeddedRelease, HasTheShapeOfTheRelease) {
    const auto lines = CrLfLines(EmbeddedReleaseText());
    ASSERT_EQ(lines.size(), 3910u);
    EXPECT_EQ(lines.front(), ":020000040000FA");
    EXPECT_EQ(lines.back(), ":00000001FF");

    std::map<int, int> sizes;   // data bytes -> records
    std::map<int, int> memory;  // address -> byte
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto& line = lines[i];
        ASSERT_TRUE(line.starts_with(':')) << i + 1;
        ASSERT_EQ(line.find_first_not_of("0123456789ABCDEF", 1), std::string::npos) << i + 1;
        ASSERT_EQ(line.size() % 2, 1u) << i + 1;
        const Record r = Parse(line);
        EXPECT_TRUE(r.checksumOk) << i + 1;
        ASSERT_EQ(r.count, static_cast<int>(r.data.size())) << i + 1;
        if (i == 0 || i + 1 == lines.size()) {
            continue;
        }
        ASSERT_EQ(r.type, 0) << i + 1;
        ++sizes[r.count];
        for (int k = 0; k < r.count; ++k) {
            EXPECT_TRUE(memory.emplace(r.address + k, r.data[k]).second)
                << "overlap, line " << i + 1;
        }
    }
    EXPECT_EQ(sizes[16], 3901);
    EXPECT_EQ((std::set<int>{2, 4, 8, 10}), [&] {
        std::set<int> others;
        for (auto [size, n] : sizes) {
            if (size != 16)
                others.insert(size);
        }
        return others;
    }());

    std::vector<std::pair<int, int>> stretches;
    for (auto [address, byte] : memory) {
        if (!stretches.empty() && stretches.back().second + 1 == address) {
            stretches.back().second = address;
        } else {
            stretches.emplace_back(address, address);
        }
    }
    EXPECT_EQ(memory.size(), 62464u);
    EXPECT_EQ(stretches, (std::vector<std::pair<int, int>>{{0x0000, 0x0003},
                                                           {0x0008, 0x0009},
                                                           {0x0018, 0xF0E7},
                                                           {0xFCA8, 0xFFC9},
                                                           {0xFFF8, 0xFFFF}}));
    std::string stamp;
    for (int a = 0xF0E0; a <= 0xF0E5; ++a) {
        stamp += static_cast<char>(memory[a]);
    }
    EXPECT_EQ(stamp, "241004");
    // A jump (AVR jmp, 0x940C) at the reset address, to code that lies in the release.
    EXPECT_EQ(memory[0] | memory[1] << 8, 0x940C);
    EXPECT_TRUE(memory.count(2 * (memory[2] | memory[3] << 8)));
}

}  // namespace
}  // namespace velor
