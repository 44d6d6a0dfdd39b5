// FormCreate's three outcomes: firmware ready, firmware rejected, port list unreadable.

#include "ControllerFixture.h"
#include "HexText.h"
#include "mainform/RunHandler.h"

namespace velor::testing {
namespace {

class StartUpTest : public ControllerTest {};

TEST_F(StartUpTest, EmbeddedReleaseMakesTheWindowReady) {
    MakeController();
    controller->FormCreate();

    EXPECT_EQ(model.ApplicationTitle, kMainCaption);
    EXPECT_EQ(model.Caption, kMainCaption);
    EXPECT_EQ(model.cbPort.Items, ports);
    EXPECT_EQ(model.cbPort.ItemIndex, 0);
    EXPECT_EQ(model.cbBaudRate.Items.size(), 15u);
    EXPECT_EQ(model.cbBaudRate.Text(), "115200");
    // The list shows 115200, but the port keeps its form setting until an operation applies it.
    EXPECT_EQ(controller->Port().BaudRate(), TBaudRate::br9600);
    EXPECT_TRUE(model.MemoAbout.Empty());
    EXPECT_EQ(model.LabelNameOfHex, kStatusReady);
    EXPECT_EQ(model.ProgressbarReadWrite.Text(), "0%");
    EXPECT_FALSE(controller->Image()->Empty());
    EXPECT_TRUE(model.ButtonWrite.Enabled);
    // The release occupies F0E0..F0E5 with its stamp.
    EXPECT_EQ(controller->Image()->Read(0xF0E0, 6), "323431303034");
    EXPECT_EQ(Entries(log, "beep|"), std::vector<std::string>{"beep|64"});
    EXPECT_TRUE(Entries(log, "message|").empty());
    EXPECT_TRUE(Entries(log, "error|").empty());
}

TEST_F(StartUpTest, NoPortsPresentIsNoFailure) {
    ports.clear();
    MakeController(SmallFirmware());
    controller->FormCreate();

    EXPECT_TRUE(model.cbPort.Items.empty());
    EXPECT_EQ(model.cbPort.ItemIndex, -1);
    EXPECT_EQ(model.cbBaudRate.ItemIndex, 12);
    EXPECT_EQ(model.LabelNameOfHex, kStatusReady);
    EXPECT_TRUE(Entries(log, "error|").empty());
}

TEST_F(StartUpTest, RejectedReleaseShowsItsMessageUnderTheNewTitle) {
    std::string text = SmallFirmware();
    text[text.find("EF") + 2] ^= 1;  // break line 2's checksum
    MakeController(text);
    controller->FormCreate();

    EXPECT_EQ(model.LabelNameOfHex, kStatusIdentify);
    EXPECT_TRUE(controller->Image()->Empty());
    EXPECT_EQ(model.ProgressbarReadWrite.Text(), "0%");
    EXPECT_EQ(model.cbBaudRate.ItemIndex, 12);
    EXPECT_FALSE(model.ButtonWrite.Enabled);  // no image: nothing to write
    const auto messages = Entries(log, "message|");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind(std::string("message|") + kMainCaption + "|", 0), 0u);
    EXPECT_EQ(Entries(log, "beep|"), std::vector<std::string>{"beep|16"});
}

TEST_F(StartUpTest, UnreadablePortListStopsBeforeTheRateAndTheLoad) {
    portsReadable = false;
    MakeController();
    model.MemoAbout.SetText("left over");
    EXPECT_FALSE(RunHandler(host, [&] { controller->FormCreate(); }));

    // Message 15 ends with "!", so no full stop is added; the caption is already the new title.
    EXPECT_EQ(
        Entries(log, "error|"),
        std::vector<std::string>{std::string("error|") + kMainCaption + "|" +
                                 "Відсутні СОМ-порти!\nНеобхідно повторно відкрити програму!"});
    EXPECT_TRUE(model.cbPort.Items.empty());
    EXPECT_EQ(model.cbBaudRate.ItemIndex, -1);
    EXPECT_EQ(model.MemoAbout.Text(), "left over");
    EXPECT_EQ(model.LabelNameOfHex, kStatusIdentify);
    EXPECT_EQ(model.ProgressbarReadWrite.Text(), "0%");
    EXPECT_TRUE(controller->Image()->Empty());
    EXPECT_TRUE(Entries(log, "beep|").empty());
    EXPECT_TRUE(model.ButtonConect.Enabled && model.ButtonOpenHex.Enabled && model.cbPort.Enabled &&
                model.cbBaudRate.Enabled);
    EXPECT_FALSE(model.ButtonWrite.Enabled);  // the load never ran: nothing to write
}

}  // namespace
}  // namespace velor::testing
