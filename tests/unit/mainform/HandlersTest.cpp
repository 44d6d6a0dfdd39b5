// The error wrapper, the list handlers and the auxiliary actions.

#include <stdexcept>

#include "ControllerFixture.h"
#include "HexText.h"
#include "mainform/AboutController.h"
#include "mainform/RunHandler.h"

namespace velor::testing {
namespace {

struct StopCase {
    const char* Raised;
    const char* Shown;
};

class ErrorBoxRuleTest : public ::testing::TestWithParam<StopCase> {};

TEST_P(ErrorBoxRuleTest, AddsAFullStopOnlyAfterCharactersSortingAfterIt) {
    MainWindowModel model;
    model.ApplicationTitle = "T";
    Log log;
    RecordingHost host(log, model);
    const StopCase& c = GetParam();
    EXPECT_FALSE(RunHandler(host, [&] { throw std::runtime_error(c.Raised); }));
    EXPECT_EQ(log, Log{std::string("error|T|") + c.Shown});
}

INSTANTIATE_TEST_SUITE_P(Texts, ErrorBoxRuleTest,
                         ::testing::Values(StopCase{"Port busy", "Port busy."},
                                           StopCase{"Відсутні СОМ-порти!", "Відсутні СОМ-порти!"},
                                           StopCase{"done.", "done."},
                                           StopCase{"value 5", "value 5."},
                                           StopCase{"(closed)", "(closed)"}, StopCase{"a-", "a-"},
                                           StopCase{"a/", "a/."}, StopCase{"", ""}));

TEST(RunHandlerTest, QuietHandlerShowsNothing) {
    MainWindowModel model;
    Log log;
    RecordingHost host(log, model);
    int runs = 0;
    EXPECT_TRUE(RunHandler(host, [&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(log.empty());
}

class HandlersTest : public ControllerTest {
  protected:
    void SetUp() override {
        MakeController(SmallFirmware());
        controller->FormCreate();
        log.clear();
    }
};

// Both windows ask the one rule: an operation refuses the close; a running handler defers it
// where the window can close at the handler's end, and refuses it where it cannot.
TEST_F(HandlersTest, CloseIsRefusedDuringAnOperationAndDeferredOnlyWhereItCanBe) {
    EXPECT_EQ(controller->AnswerClose(false, true), CloseAnswer::Close);
    EXPECT_EQ(controller->AnswerClose(true, true), CloseAnswer::Defer);
    EXPECT_EQ(controller->AnswerClose(true, false), CloseAnswer::Refuse);
    EXPECT_TRUE(controller->CloseQuery());
    for (const auto activity : {DeviceActivity::Identifying, DeviceActivity::Writing}) {
        model.Activity = activity;
        EXPECT_EQ(controller->AnswerClose(false, true), CloseAnswer::Refuse);
        EXPECT_EQ(controller->AnswerClose(true, true), CloseAnswer::Refuse);
        EXPECT_FALSE(controller->CloseQuery());
    }
}

TEST_F(HandlersTest, PortChoiceMovesTheFocusAndLeavesThePortAlone) {
    model.Focus = FocusTarget::cbPort;
    model.cbPort.ItemIndex = 1;
    controller->cbPortChange();
    EXPECT_EQ(model.Focus, FocusTarget::ButtonConect);
    EXPECT_NE(controller->Port().Port(), "/dev/ttyUSB1");
}

TEST_F(HandlersTest, RateChoiceReachesThePortAtOnce) {
    for (int index : {6, 0, 14, 12}) {
        model.cbBaudRate.ItemIndex = index;
        controller->cbBaudRateChange();
        EXPECT_EQ(static_cast<int>(controller->Port().BaudRate()), index);
    }
}

TEST_F(HandlersTest, AuxiliaryActionsBeepWhereTheyShould) {
    controller->Label1Click();
    controller->sButton2Click();
    controller->sButton3Click();
    EXPECT_EQ(log, (Log{"shell|devices", "beep|64", std::string("shell|web|") + kWebAddress,
                        "beep|64", "shell|about"}));
}

}  // namespace
}  // namespace velor::testing
