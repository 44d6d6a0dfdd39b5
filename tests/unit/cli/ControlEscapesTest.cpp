// Control characters of outside text, shown on a terminal.
#include <gtest/gtest.h>

#include "cli/output/ControlEscapes.h"

namespace velor::cli {
namespace {

TEST(ControlEscapes, ControlsBecomeVisibleAndTextStays) {
    EXPECT_EQ(EscapeControls("\x1b]0;t\x07\r\x7f"), "\\x1B]0;t\\x07\\x0D\\x7F");
    EXPECT_EQ(EscapeControls("a\tb\nc"), "a\tb\nc");
    EXPECT_EQ(EscapeControls("\xc2\x9b"
                             "1m \xc2\xa0 Мікропрограма"),
              "\\u009B1m \xc2\xa0 Мікропрограма");
    EXPECT_EQ(EscapeControls("\x9b\xc2"), "\\x9B\xc2");
}

}  // namespace
}  // namespace velor::cli
