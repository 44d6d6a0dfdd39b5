#include <gtest/gtest.h>

#include "app/FileNames.h"

namespace velor {
namespace {

TEST(FileNameOf, DropsTheFolderAndKeepsTheExtension) {
    EXPECT_EQ(FileNameOf("/home/tech/firmware/KALMIRA-5K-2_241004.hex"), "KALMIRA-5K-2_241004.hex");
    EXPECT_EQ(FileNameOf("relative/dir/x.hex"), "x.hex");
    EXPECT_EQ(FileNameOf("x.hex"), "x.hex");
    EXPECT_EQ(FileNameOf("/dir/"), "");
    EXPECT_EQ(FileNameOf("/dir/Мікропрограма.hex"), "Мікропрограма.hex");
}

TEST(FileNameOf, BackslashSeparatesOnlyOnWindows) {
#ifdef _WIN32
    EXPECT_EQ(FileNameOf("C:\\fw\\x.hex"), "x.hex");
    EXPECT_EQ(FileNameOf("C:\\fw/sub\\x.hex"), "x.hex");
#else
    EXPECT_EQ(FileNameOf("/tmp/a\\b.hex"), "a\\b.hex");
    EXPECT_EQ(FileNameOf("C:\\fw\\x.hex"), "C:\\fw\\x.hex");
#endif
}

}  // namespace
}  // namespace velor
