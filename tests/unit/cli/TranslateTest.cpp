// The catalogue reader and the choice of language.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "cli/text/MoCatalogue.h"
#include "cli/text/UiLanguage.h"

namespace velor::cli {

extern const unsigned char kUkCatalogue[];
extern const std::size_t kUkCatalogueSize;

namespace {

// A .mo file in the byte order asked for, the pairs in the order given (msgfmt sorts them; a
// reader must not rely on it).
std::vector<unsigned char> MoFile(const std::vector<std::pair<std::string, std::string>>& pairs,
                                  bool bigEndian = false) {
    std::vector<unsigned char> out;
    const auto word = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            const int shift = bigEndian ? 24 - 8 * i : 8 * i;
            out.push_back(static_cast<unsigned char>(v >> shift));
        }
    };
    const std::uint32_t n = static_cast<std::uint32_t>(pairs.size());
    const std::uint32_t originals = 28;
    const std::uint32_t translations = originals + 8 * n;
    std::uint32_t text = translations + 8 * n;
    word(0x950412de);
    word(0);
    word(n);
    word(originals);
    word(translations);
    word(0);
    word(0);
    std::string strings;
    for (int side = 0; side < 2; ++side) {
        for (const auto& pair : pairs) {
            const std::string& s = side == 0 ? pair.first : pair.second;
            word(static_cast<std::uint32_t>(s.size()));
            word(text);
            text += static_cast<std::uint32_t>(s.size()) + 1;
            strings += s;
            strings += '\0';
        }
    }
    out.insert(out.end(), strings.begin(), strings.end());
    return out;
}

TEST(MoCatalogue, FindsTranslationsInEitherByteOrderAndAnyOrder) {
    for (const bool bigEndian : {false, true}) {
        const auto bytes = MoFile({{"", "Language: uk\n"},
                                   {"show this help", "показати цю довідку"},
                                   {"Commands:\n", "Команди:\n"},
                                   {"untranslated", ""}},
                                  bigEndian);
        const MoCatalogue catalogue(bytes.data(), bytes.size());
        ASSERT_NE(catalogue.Find("show this help"), nullptr);
        EXPECT_STREQ(catalogue.Find("show this help"), "показати цю довідку");
        EXPECT_STREQ(catalogue.Find("Commands:\n"), "Команди:\n");
        EXPECT_EQ(catalogue.Find("untranslated"), nullptr);  // English stays
        EXPECT_EQ(catalogue.Find(""), nullptr);              // the header is no text
        EXPECT_EQ(catalogue.Find("show this"), nullptr);     // whole texts only
        EXPECT_EQ(catalogue.Size(), 2u);
    }
}

TEST(MoCatalogue, DamagedBytesGiveAnEmptyCatalogue) {
    const auto whole = MoFile({{"a", "б"}, {"c", "д"}});
    // Cut anywhere, wrong magic, a string pointing past the end, a string without its NUL.
    for (std::size_t size = 0; size < whole.size(); ++size) {
        EXPECT_EQ(MoCatalogue(whole.data(), size).Size(), 0u) << size;
    }
    auto magic = whole;
    magic[0] ^= 1;
    EXPECT_EQ(MoCatalogue(magic.data(), magic.size()).Size(), 0u);
    auto past = whole;
    past[28 + 8 + 4] = 0xff;  // the offset of the first translation
    EXPECT_EQ(MoCatalogue(past.data(), past.size()).Size(), 0u);
    auto noNul = whole;
    noNul.back() = 'x';
    EXPECT_EQ(MoCatalogue(noNul.data(), noNul.size()).Size(), 0u);
    auto hugeCount = whole;
    hugeCount[8 + 3] = 0x7f;
    EXPECT_EQ(MoCatalogue(hugeCount.data(), hugeCount.size()).Size(), 0u);
    EXPECT_EQ(MoCatalogue(nullptr, 100).Size(), 0u);
}

TEST(MoCatalogue, TheBuiltInCatalogueIsWhole) {
    const MoCatalogue catalogue(kUkCatalogue, kUkCatalogueSize);
    EXPECT_GT(catalogue.Size(), 50u);
    EXPECT_STREQ(catalogue.Find("reset the device"), "скинути прилад");
}

TEST(UiLanguage, TheFirstVariableSetDecides) {
    struct Case {
        std::map<std::string, std::string> env;
        const char* language;
    };
    const std::vector<Case> cases{
        {{}, ""},
        {{{"LANG", "uk_UA.UTF-8"}}, "uk"},
        {{{"LANG", "en_US.UTF-8"}}, "en"},
        {{{"LANG", "C"}}, "en"},
        {{{"LC_ALL", "uk_UA.UTF-8"}, {"LANG", "en_US.UTF-8"}}, "uk"},
        {{{"LC_MESSAGES", "uk_UA"}, {"LANG", "de_DE.UTF-8"}}, "uk"},
        {{{"LC_ALL", "C"}, {"LC_MESSAGES", "uk_UA.UTF-8"}}, "en"},
        {{{"LANGUAGE", "uk"}, {"LC_ALL", "C"}}, "uk"},
        {{{"LANGUAGE", "uk:en"}}, "uk"},
        {{{"LANGUAGE", "en:uk"}, {"LANG", "uk_UA.UTF-8"}}, "en"},
        {{{"LANGUAGE", ""}, {"LANG", "uk_UA.UTF-8"}}, "uk"},  // empty counts as unset
        {{{"LANG", "uk@latin"}}, "uk"},
        {{{"LANG", "ukr"}}, "en"},  // not a code this catalogue answers to
    };
    for (const Case& c : cases) {
        const std::string language = LanguageOf([&](const char* name) -> const char* {
            const auto it = c.env.find(name);
            return it == c.env.end() ? nullptr : it->second.c_str();
        });
        EXPECT_EQ(language, c.language) << (c.env.empty() ? "(none)" : c.env.begin()->second);
    }
}

}  // namespace
}  // namespace velor::cli
