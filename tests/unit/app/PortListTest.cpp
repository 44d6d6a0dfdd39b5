#include <gtest/gtest.h>

#include "app/PortList.h"

namespace velor {
namespace {

TListState ChosenCom7() {
    TListState list;
    list.Items = {"COM3", "COM7"};
    list.ItemIndex = 1;
    return list;
}

TEST(FillPortList, AnUnaskedRefillKeepsThePortTheOperatorChose) {
    TListState list = ChosenCom7();
    FillPortList(list, {"COM1", "COM3", "COM7", "COM9"}, PortChoice::KeepChosen);
    EXPECT_EQ(list.Text(), "COM7");
    EXPECT_EQ(list.ItemIndex, 2);
}

TEST(FillPortList, TheFirstPortWhenTheChosenOneHasGone) {
    TListState list = ChosenCom7();
    FillPortList(list, {"COM3", "COM4"}, PortChoice::KeepChosen);
    EXPECT_EQ(list.ItemIndex, 0);
    FillPortList(list, {}, PortChoice::KeepChosen);
    EXPECT_EQ(list.ItemIndex, -1);
    EXPECT_EQ(list.Text(), "");
}

TEST(FillPortList, StartUpAndRefreshKeySelectTheFirstPort) {
    TListState list = ChosenCom7();
    FillPortList(list, {"COM3", "COM7"}, PortChoice::First);
    EXPECT_EQ(list.ItemIndex, 0);
}

}  // namespace
}  // namespace velor
