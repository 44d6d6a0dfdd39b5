// Each entry of the port list carries, as its tooltip, the port's full name and what the system
// knows of it.
#include <unistd.h>

#include <QComboBox>
#include <cstdlib>
#include <filesystem>

#include "MainFormFixture.h"

namespace velor::guitest {
namespace {

using PortToolTipTest = MainFormTest;

TEST_F(PortToolTipTest, EachPortTellsWhatItIs) {
    char pattern[] = "/tmp/velor-tooltip-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::filesystem::path link = std::filesystem::path(pattern) / "kalmira";
    std::filesystem::create_symlink("/dev/null", link);
    ports = {"/dev/velor-no-such-port", link.string()};
    Build();
    auto* cbPort = Child<QComboBox>("cbPort");
    ASSERT_EQ(cbPort->count(), 2);
    // Nothing is known of a port that is not there: its name alone.
    EXPECT_EQ(cbPort->itemData(0, Qt::ToolTipRole).toString(),
              QStringLiteral("/dev/velor-no-such-port"));
    // A link is described by where it leads.
    EXPECT_EQ(cbPort->itemData(1, Qt::ToolTipRole).toString(),
              QString::fromStdString(link.string() + "\n-> /dev/null"));
    std::filesystem::remove_all(pattern);
}

}  // namespace
}  // namespace velor::guitest
