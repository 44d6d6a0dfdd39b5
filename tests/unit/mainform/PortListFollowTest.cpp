// The port list following adapters as they are plugged and unplugged.
#include "ControllerFixture.h"
#include "mainform/PortListFollow.h"

namespace velor::testing {
namespace {

using Names = std::vector<std::string>;

TListState ListOf(Names items, int index) {
    TListState list;
    list.Items = std::move(items);
    list.ItemIndex = index;
    return list;
}

TEST(FollowPorts, TheChosenPortStaysChosenWhileItExists) {
    auto list = ListOf({"ttyUSB0", "ttyUSB1"}, 1);
    EXPECT_TRUE(FollowPorts(list, {"ttyACM0", "ttyUSB0", "ttyUSB1"}));
    EXPECT_EQ(list.Text(), "ttyUSB1");
    EXPECT_TRUE(FollowPorts(list, {"ttyACM0", "ttyUSB1"}));
    EXPECT_EQ(list.Text(), "ttyUSB1");
    EXPECT_FALSE(FollowPorts(list, {"ttyACM0", "ttyUSB1"})) << "nothing changed";
    // The chosen adapter is pulled: another present one stands in.
    EXPECT_TRUE(FollowPorts(list, {"ttyACM0"}));
    EXPECT_EQ(list.Text(), "ttyACM0");
    EXPECT_TRUE(FollowPorts(list, {}));
    EXPECT_EQ(list.ItemIndex, -1);
}

TEST(FollowPorts, ANewAdapterIsChosenOnlyWhenTheListWasEmpty) {
    auto list = ListOf({}, -1);
    EXPECT_TRUE(FollowPorts(list, {"ttyUSB3"}));
    EXPECT_EQ(list.Text(), "ttyUSB3");
    auto unchosen = ListOf({"ttyS4"}, -1);
    EXPECT_TRUE(FollowPorts(unchosen, {"ttyS4", "ttyUSB3"}));
    EXPECT_EQ(unchosen.ItemIndex, -1);
}

class FollowPortListTest : public ControllerTest {};

TEST_F(FollowPortListTest, NothingChangesWhileAnOperationRunsAndNothingIsShown) {
    MakeController();
    controller->FormCreate();
    model.cbPort.ItemIndex = 1;
    log.clear();
    ports = {"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyUSB1"};
    model.Activity = DeviceActivity::Writing;
    EXPECT_FALSE(controller->FollowPortList());
    EXPECT_EQ(model.cbPort.Items.size(), 2u);
    model.Activity = DeviceActivity::Idle;
    EXPECT_TRUE(controller->FollowPortList());
    EXPECT_EQ(model.cbPort.Items.size(), 3u);
    EXPECT_EQ(model.cbPort.Text(), "/dev/ttyUSB1");
    // An unreadable list keeps the one shown.
    portsReadable = false;
    EXPECT_FALSE(controller->FollowPortList());
    EXPECT_EQ(model.cbPort.Items.size(), 3u);
    EXPECT_TRUE(log.empty()) << "the list follows without a message";
}

}  // namespace
}  // namespace velor::testing
