// ButtonOpenHexClick: the open dialog's outcomes and what each leaves in the window.

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ControllerFixture.h"
#include "HexText.h"
#include "app/Conversions.h"
#include "firmware/ReadTextFile.h"
#include "skin/TsGauge.h"

namespace velor::testing {
namespace {

namespace fs = std::filesystem;

class FileLoadTest : public ControllerTest {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("velor-mainform-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        MakeController(SmallFirmware());
        controller->FormCreate();
        startImage = controller->Image();
        log.clear();
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string Write(const std::string& name, const std::string& text) {
        const fs::path path = folder / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    fs::path folder;
    std::shared_ptr<const FirmwareImage> startImage;
};

TEST_F(FileLoadTest, LowerCaseFileLoadsAsUpperCase) {
    const std::string text = Record(0, 0x0200, {0xAB, 0xCD, 0xEF}) + "\n:00000001FF\n";
    const std::string path = Write("release.hex", Lower(text));
    controller->ButtonOpenHexClick(path);

    EXPECT_EQ(model.TextTerminal.Text(), text);
    EXPECT_EQ(controller->Image()->Read(0x0200, 4), "ABCDEFFF");
    EXPECT_EQ(controller->Image()->Read(0x0100, 1), "FF");  // the earlier image is gone
    EXPECT_EQ(model.LabelNameOfHex, "Мікропрограма : release.hex - відкрита. Запишіть в прилад");
    EXPECT_EQ(model.OpenDialogFileName, path);
    // The asterisk of the completion comes before the box.
    const auto last = std::vector<std::string>(log.end() - 2, log.end());
    EXPECT_EQ(last, (std::vector<std::string>{"beep|64", std::string("message|") + kMainCaption +
                                                             "|" + kFileOpenedMessage}));
}

TEST_F(FileLoadTest, BadThirdLineKeepsImageAndStatus) {
    model.ProgressbarReadWrite.SetMaxValue(100);
    model.ProgressbarReadWrite.SetProgress(40);
    std::string text = Record(4, 0, {0, 0}) + "\r\n" + Record(0, 0x10, {1, 2}) + "\r\n" +
                       Record(0, 0x20, {3, 4}) + "\r\n:00000001FF\r\n";
    const std::size_t third = text.find(":02002000");
    text[third + 13] = text[third + 13] == '0' ? '1' : '0';  // a digit of its checksum
    controller->ButtonOpenHexClick(Write("bad.hex", Lower(text)));

    EXPECT_EQ(model.TextTerminal.Text(), text);
    EXPECT_EQ(controller->Image(), startImage);
    EXPECT_EQ(controller->Image()->Read(0x0100, 4), "DEADBEEF");
    EXPECT_EQ(model.LabelNameOfHex, kStatusReady);
    EXPECT_EQ(model.ProgressbarReadWrite.Progress(), 0);
    EXPECT_EQ(Entries(log, "beep|"), std::vector<std::string>{"beep|16"});
    const auto messages = Entries(log, "message|");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find('3'), std::string::npos) << messages[0];
}

// A page saved from a browser under a .hex name checks clean (it has no record line), yet
// holds no firmware: refused, and the window keeps the firmware it had.
TEST_F(FileLoadTest, AFileWithoutFirmwareIsRefusedAndTheLoadedOneStays) {
    controller->ButtonOpenHexClick(
        Write("page.hex", "<!DOCTYPE html>\r\n<html><body>Firmware</body></html>\r\n"));

    EXPECT_EQ(controller->Image(), startImage);
    EXPECT_EQ(model.LabelNameOfHex, kStatusReady);
    EXPECT_TRUE(model.ButtonWrite.Enabled);
    EXPECT_EQ(Entries(log, "beep|"), std::vector<std::string>{"beep|16"});
    const auto messages = Entries(log, "message|");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("не містить жодного запису даних"), std::string::npos)
        << messages[0];
}

TEST_F(FileLoadTest, EmptyFileEndsInTheGaugeRangeError) {
    try {
        controller->ButtonOpenHexClick(Write("empty.hex", ""));
        FAIL() << "no error raised";
    } catch (const ERangeError& e) {
        EXPECT_STREQ(e.what(), "Value must be between 1 and 2147483647");
    }
    EXPECT_TRUE(model.TextTerminal.Empty());
    EXPECT_EQ(controller->Image(), startImage);
    EXPECT_EQ(model.LabelNameOfHex, kStatusReady);
    EXPECT_TRUE(Entries(log, "message|").empty());
}

TEST_F(FileLoadTest, UnreadableFileNamesPathAndReason) {
    const std::string before = model.TextTerminal.Text();
    const std::string missing = (folder / "missing.hex").string();
    try {
        controller->ButtonOpenHexClick(missing);
        FAIL() << "no error raised";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot open file \"" + missing + "\". No such file or directory");
        EXPECT_EQ(ErrorBoxText(e.what()), std::string(e.what()) + ".");
    }
    EXPECT_THROW(controller->ButtonOpenHexClick(folder.string()), EFOpenError);
    EXPECT_EQ(model.TextTerminal.Text(), before);
    EXPECT_EQ(controller->Image(), startImage);
    EXPECT_TRUE(log.empty());
}

TEST_F(FileLoadTest, CancelledDialogChangesNothing) {
    model.ProgressbarReadWrite.SetMaxValue(100);
    model.ProgressbarReadWrite.SetProgress(30);
    const std::string before = model.TextTerminal.Text();
    controller->ButtonOpenHexClick(std::nullopt);
    EXPECT_EQ(model.TextTerminal.Text(), before);
    EXPECT_EQ(model.ProgressbarReadWrite.Progress(), 30);
    EXPECT_TRUE(model.OpenDialogFileName.empty());
    EXPECT_TRUE(log.empty());
}

TEST_F(FileLoadTest, FileIsReadAsEightBitBytes) {
    // CP1251 and stray bytes pass unchanged (they are no record lines).
    const std::string text = std::string("\xCF\xF0\xE8\xEB\xE0\xE4\r\n\x00\xFF", 10) + "\r\n";
    const std::string path = Write("bytes.hex", text);
    EXPECT_EQ(ReadTextFile(path), text);
}

}  // namespace
}  // namespace velor::testing
