// velor-flash check as a process: its exit codes and output, and its images against objcopy's.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Result {
    int exit = -1;
    std::string out, err;
};

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path Scratch(const std::string& name) {
    return fs::path(testing::TempDir()) / ("velor-check-" + std::to_string(getpid()) + "-" + name);
}

Result RunShell(const std::string& command) {
    const fs::path out = Scratch("stdout"), err = Scratch("stderr");
    const std::string line = command + " >" + out.string() + " 2>" + err.string();
    const int status = std::system(line.c_str());
    Result r;
    r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = Slurp(out);
    r.err = Slurp(err);
    return r;
}

Result Check(const std::string& args) {
    return RunShell(std::string(VELOR_FLASH) + " check " + args);
}

fs::path WriteText(const std::string& name, const std::string& text) {
    const fs::path path = Scratch(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

TEST(CheckCommand, ReportsTheEmbeddedRelease) {
    const Result r = Check("");
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out,
              "Мікропрограма готова до запису\n"
              "Firmware: embedded release KALMIRA-5K-2_241004.hex, 3910 lines\n"
              "Data ranges:\n"
              "  0000-0003  4 bytes\n"
              "  0008-0009  2 bytes\n"
              "  0018-F0E7  61648 bytes\n"
              "  FCA8-FFC9  802 bytes\n"
              "  FFF8-FFFF  8 bytes\n"
              "Data bytes: 62464\n"
              "Release stamp at F0E0: 241004\n");
}

TEST(CheckCommand, RefusedTextsExitOneWithTheSystemsMessage) {
    const struct {
        std::string text, out, err;
    } cases[] = {
        {":0100000041BE\r\n:0100000041BF\r\n",
         "Помилка контрольної суми у строці мікропрограми: 2! "
         "(:0100000041BF)\n",
         ""},
        {":0100000041G1\n", "", "'$G1' is not a valid integer value.\n"},
        {"", "", "Value must be between 1 and 2147483647.\n"},
        {":02000005000000F9\n",
         "Знайдено: Start Linear Address Records (MDK-ARM only): 1! "
         "(:02000005000000F9)\n",
         ""},
    };
    for (const auto& c : cases) {
        const Result r = Check(WriteText("refused.hex", c.text).string());
        EXPECT_EQ(r.exit, 1) << c.text;
        EXPECT_EQ(r.out, c.out) << c.text;
        EXPECT_EQ(r.err, c.err) << c.text;
    }
    const Result missing = Check("/nonexistent/x.hex");
    EXPECT_EQ(missing.exit, 1);
    EXPECT_EQ(missing.err, "Cannot open file \"/nonexistent/x.hex\". No such file or directory.\n");
}

TEST(CheckCommand, UsageErrorsExitTwoWithOneLineHint) {
    const std::string out = Scratch("usage.bin").string();
    const std::string cases[] = {
        "a.hex b.hex",
        "--bogus",
        "--size 16",
        "--image-out",
        "--size 12x --image-out " + out,
        "--size 20000001 --image-out " + out,
        "--size --image-out " + out,
    };
    for (const auto& args : cases) {
        const Result r = Check(args);
        EXPECT_EQ(r.exit, 2) << args;
        EXPECT_TRUE(r.out.empty()) << args;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args << ": " << r.err;
        EXPECT_NE(r.err.find("--help"), std::string::npos) << args;
    }
    const Result help = Check("--help");
    EXPECT_EQ(help.exit, 0);
    for (const char* option : {"FILE", "--image-out", "--size", "--help"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
}

TEST(CheckCommand, SizeSetsTheLengthOfTheImageFile) {
    const fs::path bin = Scratch("size.bin");
    for (const auto& [arg, size] : {std::pair{"3", 3}, {"0x10", 16}, {"0", 0}, {"70000", 70000}}) {
        const Result r = Check("--image-out " + bin.string() + " --size " + arg);
        ASSERT_EQ(r.exit, 0) << r.err;
        const std::string bytes = Slurp(bin);
        ASSERT_EQ(bytes.size(), static_cast<std::size_t>(size)) << arg;
        if (size >= 3) {
            EXPECT_EQ(bytes.substr(0, 3), "\x0C\x94\x0C");
        }
        if (size == 70000) {
            EXPECT_EQ(bytes.substr(65536), std::string(70000 - 65536, '\xFF'));
        }
    }
}

// objcopy's binary starts at the lowest address it was given; ours at 0, with FF before it.
TEST(CheckCommand, ImagesEqualObjcopysBinaryOutput) {
    if (std::string(VELOR_OBJCOPY).empty() || !fs::exists(VELOR_OBJCOPY)) {
        GTEST_SKIP() << "objcopy is not installed; nothing to compare with";
    }
    const std::string hexDir = VELOR_HEX_DIR;
    const std::string files[] = {hexDir + "/plain.hex", hexDir + "/segment.hex",
                                 hexDir + "/linear.hex", hexDir + "/optiboot_atmega1280.hex",
                                 VELOR_RELEASE_HEX};
    for (const auto& file : files) {
        const fs::path ours = Scratch("ours.bin"), theirs = Scratch("objcopy.bin");
        const Result r = Check(file + " --image-out " + ours.string());
        ASSERT_EQ(r.exit, 0) << file << ": " << r.out << r.err;
        const Result o =
            RunShell(std::string(VELOR_OBJCOPY) + " -I ihex -O binary --gap-fill 0xff " + file +
                     " " + theirs.string());
        ASSERT_EQ(o.exit, 0) << o.err;
        const std::string a = Slurp(ours), b = Slurp(theirs);
        ASSERT_FALSE(b.empty()) << file;
        ASSERT_GE(a.size(), b.size()) << file;
        const std::size_t lowest = a.size() - b.size();
        EXPECT_EQ(a.substr(0, lowest), std::string(lowest, '\xFF')) << file;
        EXPECT_TRUE(a.substr(lowest) == b) << file;
    }
}

}  // namespace
