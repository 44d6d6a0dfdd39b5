#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "serial/platform/SysfsPortSource.h"

namespace velor::posix {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// A tty class folder laid out as the kernel does: one folder per tty, a "device" link for those
// with hardware, a "type" file for serial_core ports.
class FakeSysfs : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/velor-sysfs-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        fs::create_directories(root / "devices/platform/serial8250");
    }
    void TearDown() override { fs::remove_all(root); }

    void AddTty(const std::string& name, bool device, const char* type = nullptr) {
        const fs::path dir = root / "class" / name;
        fs::create_directories(dir);
        if (device)
            fs::create_directory_symlink(root / "devices/platform/serial8250", dir / "device");
        if (type != nullptr)
            std::ofstream(dir / "type") << type << "\n";
    }
    Names Collect(Names extra = {}) {
        SysfsPortSource source((root / "class").string(), std::move(extra));
        Names names;
        EXPECT_TRUE(source.Collect(names));
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path root;
};

TEST_F(FakeSysfs, KeepsTtysWithADeviceButNotPlaceholders) {
    AddTty("ttyS0", true, "4");  // a 16550A
    AddTty("ttyS1", true, "0");  // placeholder, no UART
    AddTty("ttyS2", true, "0");
    AddTty("ttyUSB0", true);  // usb-serial has no type file
    AddTty("ttyACM3", true);
    AddTty("tty1", false);  // a virtual console
    AddTty("ptmx", false);
    EXPECT_EQ(Collect(), (Names{"ttyACM3", "ttyS0", "ttyUSB0"}));
}

TEST_F(FakeSysfs, ExtraPortsAreListedAsGivenEvenWhenMissing) {
    AddTty("ttyUSB0", true);
    EXPECT_EQ(Collect({"/dev/pts/3", "/tmp/no-such-link"}),
              (Names{"/dev/pts/3", "/tmp/no-such-link", "ttyUSB0"}));
}

TEST_F(FakeSysfs, AnExtraFolderOffersTheTerminalsItHoldsNow) {
    AddTty("ttyUSB0", true);
    const fs::path folder = root / "bench";
    fs::create_directories(folder);
    fs::create_symlink("/dev/null", folder / "kalmira-1");      // a terminal's link
    fs::create_symlink(folder / "gone", folder / "kalmira-2");  // its device has ended
    std::ofstream(folder / "notes.txt") << "not a terminal\n";
    EXPECT_EQ(Collect({folder.string()}), (Names{(folder / "kalmira-1").string(), "ttyUSB0"}));
}

TEST_F(FakeSysfs, AMissingFolderCannotBeRead) {
    SysfsPortSource source((root / "nothing-here").string(), {"/dev/pts/1"});
    Names names;
    EXPECT_FALSE(source.Collect(names));
}

TEST(ExtraPorts, SplitOnColonsDroppingEmptyParts) {
    const std::pair<std::string, Names> rows[] = {
        {"", {}},
        {"/dev/pts/3", {"/dev/pts/3"}},
        {"/dev/pts/3:/tmp/vcom", {"/dev/pts/3", "/tmp/vcom"}},
        {"::/a::/b:", {"/a", "/b"}},
    };
    for (const auto& [value, paths] : rows) {
        EXPECT_EQ(SplitExtraPorts(value), paths) << value;
    }
}

}  // namespace
}  // namespace velor::posix
