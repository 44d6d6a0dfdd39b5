// The port list follows terminals that appear and leave while no operation runs (links in a
// folder that VELOR_EXTRA_PORTS names, as a container has no udev), without a message.

#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include "MainFormFixture.h"

namespace velor::guitest {
namespace {

class PortListPlugTest : public MainFormTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        qputenv("VELOR_EXTRA_PORTS", folder.path().toLocal8Bit());
        systemPorts = true;
    }
    void TearDown() override {
        MainFormTest::TearDown();
        qunsetenv("VELOR_EXTRA_PORTS");
    }
    std::string Plug(const char* name) {
        const QString path = folder.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(QFile::link(QStringLiteral("/dev/null"), path));
        return path.toStdString();
    }
    bool Listed(const std::string& port) const {
        const auto& items = model.cbPort.Items;
        return std::find(items.begin(), items.end(), port) != items.end() &&
               Child<QComboBox>("cbPort")->findText(QString::fromStdString(port)) >= 0;
    }

    QTemporaryDir folder;
};

TEST_F(PortListPlugTest, TheListFollowsLinksAndKeepsTheChosenPort) {
    Build();
    ShowAndActivate();
    const bool wasEmpty = model.cbPort.Items.empty();
    log.clear();
    const std::string first = Plug("kalmira-1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Listed(first); }, 5000)) << "not followed";
    if (wasEmpty) {
        EXPECT_EQ(model.cbPort.Text(), first) << "the only adapter is chosen";
    }
    auto* cbPort = Child<QComboBox>("cbPort");
    const int index = cbPort->findText(QString::fromStdString(first));
    cbPort->setCurrentIndex(index);
    emit cbPort->activated(index);

    const std::string second = Plug("kalmira-0");  // sorts before the chosen one
    ASSERT_TRUE(QTest::qWaitFor([&] { return Listed(second); }, 5000));
    EXPECT_EQ(model.cbPort.Text(), first) << "the chosen port stays chosen";
    EXPECT_EQ(cbPort->currentText().toStdString(), first);

    ASSERT_TRUE(QFile::remove(folder.filePath(QStringLiteral("kalmira-0"))));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Listed(second); }, 5000)) << "unplugging";
    EXPECT_EQ(model.cbPort.Text(), first);
    EXPECT_TRUE(log.empty()) << "the list follows without a message";
}

TEST_F(PortListPlugTest, NothingChangesWhileAnOperationRuns) {
    Build();
    ShowAndActivate();
    const auto before = model.cbPort.Items;
    model.Activity = DeviceActivity::Writing;  // as a running write leaves it between its turns
    const std::string port = Plug("kalmira-1");
    QTest::qWait(300);
    EXPECT_EQ(model.cbPort.Items, before);
    model.Activity = DeviceActivity::Idle;
    // The change waits for the next handler's end.
    PressKey(*form, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Listed(port); }, 5000));
}

}  // namespace
}  // namespace velor::guitest
