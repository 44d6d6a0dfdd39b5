#include <gtest/gtest.h>

#include "app/Conversions.h"
#include "protocol/ReleaseGate.h"

namespace velor {
namespace {

TEST(CheckRelease, ComparesASixCharacterStampWithOurs) {
    const struct {
        const char* description;
        ReleaseVerdict verdict;
    } cases[] = {
        {"241004", ReleaseVerdict::Same},   {"241005", ReleaseVerdict::Newer},
        {"999999", ReleaseVerdict::Newer},  {"241003", ReleaseVerdict::Older},
        {"000000", ReleaseVerdict::Older},  {"-99999", ReleaseVerdict::Older},
        {"24100", ReleaseVerdict::Unknown}, {"2410040", ReleaseVerdict::Unknown},
        {"", ReleaseVerdict::Unknown},      {"Невідомий прилад/версія", ReleaseVerdict::Unknown},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckRelease(c.description), c.verdict) << c.description;
    }
}

TEST(CheckRelease, CountsCharactersNotBytes) {
    // Six Cyrillic letters are twelve bytes of UTF-8 but six characters: they reach the
    // conversion, which refuses them by name.
    try {
        CheckRelease("Прилад");
        FAIL() << "no conversion error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'Прилад' is not a valid integer value");
    }
}

TEST(CheckRelease, ASixCharacterTextThatIsNoNumberRaisesTheConversionError) {
    for (const char* text : {"24A004", "2410\r\n", "24 004"}) {
        try {
            CheckRelease(text);
            ADD_FAILURE() << "no conversion error for " << text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

}  // namespace
}  // namespace velor
