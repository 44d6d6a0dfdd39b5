#include <gtest/gtest.h>

#include "protocol/Description.h"

namespace velor {
namespace {

constexpr const char* kNone = "Невідомий прилад/версія";

// The whole path of a describe reply into a fresh memo.
std::string MemoAfter(const std::string& reply) {
    Memo memo;
    ShowDescription(DescriptionBody(reply), memo, kNone);
    return memo.Text();
}

TEST(Description, ShowsTheTextBetweenTheCodeAndTheTwoLastCharacters) {
    const struct {
        std::string reply;
        std::string memo;
    } cases[] = {
        {"g83241004xy;", "241004"},
        {"g..241004..;", "241004"},
        {"g83A\nB12;", "A\r\nB"},
        {"g83\nA12;", "A"},            // a line feed first ends no line
        {"g83A\n\nB12;", "A\r\nB"},    // a second line feed adds no empty line
        {"g83A\r\nB12;", "A\r\r\nB"},  // a carriage return is a character like any other
        {"g83A\n12;", "A\r\n"},
        {"g83\xCF\xF0\xE8\xEB\xE0\xE4"
         "12;",
         "Прилад"},  // 8-bit text becomes UTF-8
        {"g83A12;", "A"},
        {"g8312;", ""},   // five characters: one remains in IdReply, none is shown
        {"g83;", kNone},  // four characters or fewer: no description
        {"g8;", kNone},
        {"", kNone},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MemoAfter(c.reply), c.memo) << '"' << c.reply << '"';
    }
}

TEST(Description, BodyKeepsTheTwoCharactersThatAreNotShown) {
    EXPECT_EQ(DescriptionBody("g83241004xy;"), "241004xy");
    EXPECT_EQ(DescriptionBody("g83x;"), "x");
    EXPECT_EQ(DescriptionBody("g83;"), "");
}

TEST(Description, AppendsToWhatTheMemoHolds) {
    Memo memo;
    memo.SetText("before");
    ShowDescription("AB\nC12", memo, kNone);
    EXPECT_EQ(memo.Text(), "beforeAB\r\nC");
}

}  // namespace
}  // namespace velor
