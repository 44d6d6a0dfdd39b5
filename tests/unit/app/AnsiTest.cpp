#include <gtest/gtest.h>

#include <string>

#include "app/Ansi.h"

namespace velor {
namespace {

TEST(Ansi, EveryDefinedByteSurvivesTheRoundTrip) {
    for (int b = 1; b < 256; ++b) {
        const std::string ansi(1, static_cast<char>(b));
        const std::string utf8 = AnsiToUtf8(ansi);
        EXPECT_EQ(Utf8Length(utf8), 1u) << b;
        if (b != 0x98) {
            EXPECT_EQ(Utf8ToAnsi(utf8), ansi) << b;
        }
    }
    EXPECT_EQ(AnsiToUtf8("\x98"), "\xEF\xBF\xBD");
}

TEST(Ansi, APrefixCountsCharactersAndNeverCutsOne) {
    EXPECT_EQ(Utf8Prefix("Запис: 50%", 5), "Запис");
    EXPECT_EQ(Utf8Prefix("Запис", 0), "");
    EXPECT_EQ(Utf8Prefix("Запис", 99), "Запис");
    EXPECT_EQ(Utf8Prefix("a€b", 2), "a€");
}

TEST(Ansi, ConvertsKnownTexts) {
    const struct {
        std::string ansi, utf8;
    } cases[] = {
        {"\xCF\xF0\xEE\xF8\xE8\xF2\xE8", "Прошити"},
        {"\xB2\xB3\xAF\xBF\xAA\xBA\xA5\xB4", "ІіЇїЄєҐґ"},
        {"\xB9 \x96 \x85", "№ – …"},
        {":10FC00", ":10FC00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AnsiToUtf8(c.ansi), c.utf8);
        EXPECT_EQ(Utf8ToAnsi(c.utf8), c.ansi);
    }
    EXPECT_EQ(Utf8ToAnsi("a€bĀc😀"),
              "a\x88"
              "b?c?");  // € is in the code page, Ā and 😀 are not
}

TEST(Ansi, UpperCasesLatinAndCyrillicLettersOnly) {
    const struct {
        std::string in, out;
    } cases[] = {
        {":10fc00abcdef", ":10FC00ABCDEF"},
        {"az AZ 09 {}~", "AZ AZ 09 {}~"},
        {"\xE0\xFF\xF0", "\xC0\xDF\xD0"},                          // а я р
        {"\xB3\xBF\xBA\xB4\xB8\xA2", "\xB2\xAF\xAA\xA5\xA8\xA1"},  // і ї є ґ ё ў
        {"\x83\x90\x9A\x9C\x9D\x9E\x9F\xBC\xBE", "\x81\x80\x8A\x8C\x8D\x8E\x8F\xA3\xBD"},
        {"\xB5\xB9\xAB\x98", "\xB5\xB9\xAB\x98"},  // µ № « and the undefined byte stay
    };
    for (const auto& c : cases) {
        std::string text = c.in;
        AnsiUpperCaseInPlace(text);
        EXPECT_EQ(text, c.out) << c.in;
    }
}

}  // namespace
}  // namespace velor
