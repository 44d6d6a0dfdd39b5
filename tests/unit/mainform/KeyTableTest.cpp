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
    ::testing::Values(KeyCase{"F1", kKeyF1, kNone, true, false, false},
                      KeyCase{"ShiftF1", kKeyF1, kShift, true, false, false},
                      KeyCase{"CtrlF1", kKeyF1, kCtrl, true, false, false},
                      KeyCase{"CtrlShiftE", kKeyE, kCtrlShift, false, true, false},
                      KeyCase{"CtrlAltShiftE", kKeyE, kAll, false, true, false},
                      KeyCase{"CtrlE", kKeyE, kCtrl, false, false, false},
                      KeyCase{"ShiftE", kKeyE, kShift, false, false, false},
                      KeyCase{"E", kKeyE, kNone, false, false, false},
                      KeyCase{"CtrlR", kKeyR, kCtrl, false, false, true},
                      KeyCase{"CtrlShiftR", kKeyR, kCtrlShift, false, false, true},
                      KeyCase{"CtrlAltR", kKeyR, kCtrlAlt, false, false, true},
                      KeyCase{"R", kKeyR, kNone, false, false, false},
                      KeyCase{"AltR", kKeyR, kAlt, false, false, false},
                      KeyCase{"L", kKeyL, kNone, false, false, false},
                      KeyCase{"Delete", kKeyDelete, kNone, false, false, false},
                      KeyCase{"OtherKey", 'Q', kCtrlShift, false, false, false}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.Name); });

TEST_F(KeyTableTest, RefreshReplacesTheListAndSaysSo) {
    ports = {"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyUSB1"};
    controller->FormKeyDown(kKeyR, kCtrl);
    EXPECT_EQ(model.cbPort.Items, ports);
    EXPECT_EQ(model.cbPort.ItemIndex, 0);
    EXPECT_EQ(
        Entries(log, "message|"),
        std::vector<std::string>{std::string("message|") + kMainCaption + "|" + kPortsRefreshed});

    ports.clear();
    controller->FormKeyDown(kKeyR, kCtrl);
    EXPECT_EQ(model.cbPort.ItemIndex, -1);
}

TEST_F(KeyTableTest, FailedRefreshKeepsItemsAndSelection) {
    model.cbPort.ItemIndex = 1;
    portsReadable = false;
    EXPECT_THROW(controller->FormKeyDown(kKeyR, kCtrl), EComPort);
    EXPECT_EQ(model.cbPort.Items, ports);
    EXPECT_EQ(model.cbPort.ItemIndex, 1);
    EXPECT_TRUE(Entries(log, "message|").empty());
}

TEST_F(KeyTableTest, StopActsOnlyWhileTheGaugeHasProgress) {
    controller->FormKeyDown(kKeyDelete, kCtrl);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(model.LabelNameOfHex, kStatusReady);

    // Progress 1 of 100 still reads "0%", yet the stop acts.
    model.ProgressbarReadWrite.SetProgress(1);
    model.ButtonWrite.Enabled = model.ButtonConect.Enabled = model.cbPort.Enabled = false;
    controller->FormKeyDown(kKeyDelete, kCtrlShift);
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
    EXPECT_THROW(controller->FormKeyDown(kKeyL, kCtrl), EComPort);
    EXPECT_TRUE(Entries(log, "message|").empty());
    EXPECT_FALSE(controller->Port().Opened());
}

}  // namespace
}  // namespace velor::testing
