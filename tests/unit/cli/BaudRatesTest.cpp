#include <gtest/gtest.h>

#include "cli/Commands.h"
#include "protocol/PortSetup.h"
#include "serial/BaudRates.h"

namespace velor::cli {
namespace {

TEST(BaudRates, TheListTheHelpAndTheParsingReadOneTable) {
    ASSERT_EQ(BaudRateItems().size(), kBaudRateTable.size());
    EXPECT_EQ(BaudRateItems()[kDefaultBaudIndex], "115200");
    EXPECT_EQ(DefaultBaudText(), "115200");
    EXPECT_EQ(BaudRateForIndex(-1), kDefaultBaudRate);
    EXPECT_EQ(BaudRateValue(BaudRateForIndex(kDefaultBaudIndex)), 115200u);
    std::string error;
    for (std::size_t i = 0; i < BaudRateItems().size(); ++i) {
        EXPECT_EQ(BaudIndexOf(BaudRateItems()[i], error), static_cast<int>(i));
        EXPECT_EQ(std::to_string(BaudRateValue(static_cast<TBaudRate>(i))), BaudRateItems()[i]);
    }
    EXPECT_FALSE(BaudIndexOf("115201", error).has_value());
    EXPECT_EQ(error, "unsupported rate '115201'");
}

}  // namespace
}  // namespace velor::cli
