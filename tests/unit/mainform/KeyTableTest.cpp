// FormKeyDown: which key and modifiers start which action, and what each leaves behind.

#include "ControllerFixture.h"
#include "HexText.h"

namespace velor::testing {
namespace {

constexpr TShiftState kNone{};
constexpr TShiftState kCtrl{false, true, false};
constexpr TShiftState kShift{true, false, false};
constexpr TShiftState kAlt{false, false, true};
constexpr TShiftState kCtrlShift{true, true, false};
constexpr TShiftState kCtrlAlt{false, true, true};
constexpr TShiftState kAll{true, true, true};

class KeyTableTest : public ControllerTest {
  protected:
    void SetUp() override {
        MakeController(SmallFirmware());
        controller->FormCreate();
        log.clear();
    }
};

struct KeyCase {
    const char* Name;
    uint16_t Key;
    TShiftState Shift;
    bool About;
    bool Service;
    bool Refresh;
};

class KeyDispatchTest : public KeyTableTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyDispatchTest, StartsExactlyItsAction) {
    const KeyCase& c = GetParam();
    model.cbPort.ItemIndex = 1;
    controller->FormKeyDown(c.Key, c.Shift);

    EXPECT_EQ(Entries(log, "shell|about").size(), c.About ? 1u : 0u);
    EXPECT_EQ(model.ServiceLayout, c.Service);
    EXPECT_EQ(Entries(log, "message|").size(), c.Refresh ? 1u : 0u);
    EXPECT_EQ(model.cbPort.ItemIndex, c.Refresh ? 0 : 1);
    EXPECT_TRUE(Entries(log, "beep|").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyDispatchTest,
    ::testing::Values(KeyCase{"F1", VK_F1, kNone, true, false, false},
                      KeyCase{"ShiftF1", VK_F1, kShift, true, false, false},
                      KeyCase{"CtrlF1", VK_F1, kCtrl, true, false, false},
                      KeyCase{"CtrlShiftE", VK_E, kCtrlShift, false, true, false},
                      KeyCase{"CtrlAltShiftE", VK_E, kAll, false, true, false},
                      KeyCase{"CtrlE", VK_E, kCtrl, false, false, false},
                      KeyCase{"ShiftE", VK_E, kShift, false, false, false},
                      KeyCase{"E", VK_E, kNone, false, false, false},
                      KeyCase{"CtrlR", VK_R, kCtrl, false, false, true},
                      KeyCase{"CtrlShiftR", VK_R, kCtrlShift, false, false, true},
                      KeyCase{"CtrlAltR", VK_R, kCtrlAlt, false, false, true},
                      KeyCase{"R", VK_R, kNone, false, false, false},
                      KeyCase{"AltR", VK_R, kAlt, false, false, false},
                      KeyCase{"L", VK_L, kNone, false, false, false},
                      KeyCase{"Delete", VK_DELETE, kNone, false, false, false},
                      KeyCase{"OtherKey", 'Q', kCtrlShift, false, false, false}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.Name); });

TEST_F(KeyTableTest, RefreshReplacesTheListAndSaysSo) {
    ports = {"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyUSB1"};
    controller->FormKeyDown(VK_R, kCtrl);
    EXPECT_EQ(model.cbPort.Items, ports);
    EXPECT_EQ(model.cbPort.ItemIndex, 0);
    EXPECT_EQ(
        Entries(log, "message|"),
        std::vector<std::string>{std::string("message|") + kMainCaption + "|" + kPortsRefreshed});

    ports.clear();
    controller->FormKeyDown(VK_R, kCtrl);
    EXPECT_EQ(model.cbPort.ItemIndex, -1);
}

TEST_F(KeyTableTest, FailedRefreshKeepsItemsAndSelection) {
    model.cbPort.ItemIndex = 1;
    portsReadable = false;
    EXPECT_THROW(controller->FormKeyDown(VK_R, kCtrl), EComPort);
    EXPECT_EQ(model.cbPort.Items, ports);
    EXPECT_EQ(model.cbPort.ItemIndex, 1);
    EXPECT_TRUE(Entries(log, "message|").empty());
}

TEST_F(KeyTableTest, StopActsOnlyWhileTheGaugeHasProgress) {
    controller->FormKeyDown(VK_DELETE, kCtrl);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(model.LabelNameOfHex, kStatusReady);

    // Progress 1 of 100 still reads "0%", yet the stop acts.
    model.ProgressbarReadWrite.SetProgress(1);
    model.ButtonWrite.Enabled = model.ButtonConect.Enabled = model.cbPort.Enabled = false;
    controller->FormKeyDown(VK_DELETE, kCtrlShift);
    EXPECT_EQ(model.LabelNameOfHex, "Зупинено користувачем");
    EXPECT_TRUE(model.ButtonWrite.Enabled && model.ButtonConect.Enabled && model.cbPort.Enabled);
    const auto messages = Entries(log, "message|");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Зупинено користувачем!"), std::string::npos);
    EXPECT_EQ(model.ProgressbarReadWrite.Progress(), 1);
}

TEST_F(KeyTableTest, ResetOnAPortThatCannotOpenRaisesThePortError) {
    model.cbPort.Items = {"/nonexistent/velor-port"};
    model.cbPort.ItemIndex = 0;
    EXPECT_THROW(controller->FormKeyDown(VK_L, kCtrl), EComPort);
    EXPECT_TRUE(Entries(log, "message|").empty());
    EXPECT_FALSE(controller->Port().Opened());
}

}  // namespace
}  // namespace velor::testing
