#include <gtest/gtest.h>

#include <string>

#include "app/Conversions.h"

namespace velor {
namespace {

TEST(StrToInt, AcceptsDecimalAndHexadecimalThatFit) {
    const struct {
        std::string text;
        int32_t value;
    } cases[] = {
        {"12", 12},
        {" 12", 12},
        {"-12", -12},
        {"+5", 5},
        {"$FF", 255},
        {"$ff", 255},
        {"0x1f", 31},
        {"-$10", -16},
        {"$FFFFFFFF", -1},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"$80000000", INT32_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
    }
    EXPECT_EQ(HexFieldToInt("FCA8"), 0xFCA8);
}

TEST(StrToInt, RefusesEverythingElseNamingTheWholeText) {
    const std::string cases[] = {"",           "$",   "12a", "2147483648", "-2147483649",
                                 "$100000000", "1 ",  " ",   "-",          "0x",
                                 "$ 1",        "$-1", "1.0", "$G1",        "FF"};
    for (const auto& text : cases) {
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + text + "' is not a valid integer value");
        }
    }
    try {
        HexFieldToInt("G1");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(std::string(e.what()), "'$G1' is not a valid integer value");
    }
}

TEST(ErrorBoxText, AddsAFullStopOnlyAfterACharacterSortingAfterIt) {
    const struct {
        std::string message, box;
    } cases[] = {
        {"'$G1' is not a valid integer value", "'$G1' is not a valid integer value."},
        {"Done.", "Done."},
        {"Stop!", "Stop!"},
        {"(x)", "(x)"},  // ")" sorts before "."
        {"a-", "a-"},
        {"5", "5."},
        {"/", "/."},
        {"Порт", "Порт."},  // a UTF-8 byte sorts after "."
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ErrorBoxText(c.message), c.box) << c.message;
    }
}

}  // namespace
}  // namespace velor
