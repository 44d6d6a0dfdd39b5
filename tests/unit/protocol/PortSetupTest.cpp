#include <gtest/gtest.h>

#include "protocol/PortSetup.h"
#include "serial/platform/FakeBackend.h"

namespace velor {
namespace {

TEST(BaudRateForIndex, NoSelectionMeans115200) {
    EXPECT_EQ(BaudRateForIndex(-1), TBaudRate::br115200);
    EXPECT_EQ(BaudRateForIndex(15), TBaudRate::br115200);
    EXPECT_EQ(BaudRateForIndex(0), TBaudRate::br110);
    EXPECT_EQ(BaudRateForIndex(12), TBaudRate::br115200);
    EXPECT_EQ(BaudRateForIndex(14), TBaudRate::br256000);
}

TEST(OpenChosenPort, OpensTheChosenNameAtTheChosenRateWithOneMillisecondTimeouts) {
    auto state = std::make_shared<fake::State>();
    TBComPort port(fake::MakeBackend(state));
    ApplyFormSettings(port);
    MainWindowModel form;
    form.cbPort.Items = {"COM7", "COM9"};
    form.cbPort.ItemIndex = 1;
    form.cbBaudRate.Items = BaudRateItems();
    form.cbBaudRate.ItemIndex = -1;
    OpenChosenPort(port, form);
    ASSERT_TRUE(port.Opened());
    EXPECT_EQ(port.Port(), "COM9");
    EXPECT_EQ(port.BaudRate(), TBaudRate::br115200);
    const auto& t = port.Timeouts();
    EXPECT_EQ(t.ReadInterval(), 1);
    EXPECT_EQ(t.ReadTotalMultiplier(), 1);
    EXPECT_EQ(t.ReadTotalConstant(), 1);
    EXPECT_EQ(t.WriteTotalMultiplier(), 1);
    EXPECT_EQ(t.WriteTotalConstant(), 1);

    // A second operation closes first, then takes the new choice.
    form.cbPort.ItemIndex = 0;
    form.cbBaudRate.ItemIndex = 6;
    OpenChosenPort(port, form);
    EXPECT_TRUE(port.Opened());
    EXPECT_EQ(port.Port(), "COM7");
    EXPECT_EQ(port.BaudRate(), TBaudRate::br9600);
}

}  // namespace
}  // namespace velor
