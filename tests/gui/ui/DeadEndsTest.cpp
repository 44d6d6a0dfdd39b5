// The window never leaves the operator without a way on, and never reports a write that cannot
// happen: nothing to write without an image, the controls back after a port error, no closing
// away from a running write.

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "DevsimWindowFixture.h"

namespace velor::guitest {
namespace {

TEST_F(MainFormTest, WithoutAPortListThereIsNoImageAndNoWrite) {
    portsReadable = false;  // message 15 stops the creation before the start-up load
    Build();
    ShowAndActivate();
    ASSERT_EQ(Entries(log, "error|").size(), 1u);
    EXPECT_TRUE(form->Controller().Image()->Empty());
    EXPECT_FALSE(Child<QToolButton>("ButtonWrite")->isEnabled());
    // A port list that reads again brings no image: still nothing to write.
    portsReadable = true;
    PressKey(*form, Qt::Key_R, Qt::ControlModifier);
    EXPECT_FALSE(Child<QToolButton>("ButtonWrite")->isEnabled());
}

class DeadEndsTest : public DevsimWindowTest {
  protected:
    DeadEndsTest() { devsimArgs = {QStringLiteral("--geometry"), QStringLiteral("4:32:8")}; }

    // A small firmware file, the kind a technician opens while a write runs.
    QString SmallHexFile() {
        const QString path = folder.filePath(QStringLiteral("other.hex"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(":0100000011EE\r\n:00000001FF\r\n");
        return path;
    }
};

TEST_F(DeadEndsTest, APortErrorDuringAWriteHandsTheControlsBack) {
    BuildOnTheSimulator();
    const std::string other = SmallHexFile().toStdString();
    form->SetFileChooser([other] { return std::optional<std::string>(other); });
    bool inTurn = false, opened = false, killed = false;
    host.OnEvents = [&] {
        if (inTurn || model.Activity != DeviceActivity::Writing) {
            return;
        }
        inTurn = true;
        if (!opened && model.ProgressbarReadWrite.Progress() >= 1) {
            opened = true;  // a file opened during the write, then the adapter is pulled
            QTest::mouseClick(Child<QPushButton>("ButtonOpenHex"), Qt::LeftButton);
        } else if (opened && !killed) {
            killed = true;
            devsim.kill();
            devsim.waitForFinished(5000);
        }
        inTurn = false;
    };
    QTest::mouseClick(Child<QToolButton>("ButtonWrite"), Qt::LeftButton);
    host.OnEvents = nullptr;

    ASSERT_TRUE(killed);
    ASSERT_EQ(Entries(log, "error|").size(), 1u) << "no port error box";
    EXPECT_EQ(model.Activity, DeviceActivity::Idle);
    EXPECT_TRUE(Child<QComboBox>("cbPort")->isEnabled());
    EXPECT_TRUE(Child<QComboBox>("cbBaudRate")->isEnabled());
    EXPECT_TRUE(Child<QPushButton>("ButtonConect")->isEnabled());
    EXPECT_TRUE(Child<QToolButton>("ButtonWrite")->isEnabled());
    EXPECT_EQ(Child<QLabel>("LabelNameOfHex")->text(),
              QString::fromUtf8("Мікропрограма : other.hex - помилка"));
}

TEST_F(DeadEndsTest, ClosingDuringAWriteIsRefusedUntilItHasEnded) {
    BuildOnTheSimulator();
    bool tried = false, closed = true, shown = false;
    host.OnEvents = [&] {
        if (!tried && model.Activity == DeviceActivity::Writing) {
            tried = true;
            closed = form->close();
            shown = form->isVisible();
        }
    };
    const std::size_t before = log.size();
    QTest::mouseClick(Child<QToolButton>("ButtonWrite"), Qt::LeftButton);
    host.OnEvents = nullptr;

    ASSERT_TRUE(tried);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(shown);
    // Refused silently: the write went on to its own end and said so.
    const auto messages =
        Entries(Log(log.begin() + static_cast<std::ptrdiff_t>(before), log.end()), "message|");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("успішно завантажена"), std::string::npos) << messages[0];
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->Controller().CloseQuery());
}

}  // namespace
}  // namespace velor::guitest
