// One whole write from the window into velor-devsim: the port comes from VELOR_EXTRA_PORTS like
// any virtual port, the operator picks it and presses "Прошити", and the simulated memory ends
// up equal to the image the window built.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <thread>

#include "MainFormFixture.h"

namespace velor::guitest {
namespace {

class WriteFromWindowTest : public MainFormTest {
  protected:
    void SetUp() override {
#ifndef VELOR_DEVSIM_PATH
        GTEST_SKIP() << "velor-devsim is not built on this platform";
#else
        ASSERT_TRUE(folder.isValid());
        link = folder.filePath(QStringLiteral("kalmira"));
        dump = folder.filePath(QStringLiteral("memory.bin"));
        devsim.setProgram(QStringLiteral(VELOR_DEVSIM_PATH));
        devsim.setArguments({QStringLiteral("--link"), link, QStringLiteral("--dump"), dump});
        devsim.start();
        ASSERT_TRUE(devsim.waitForStarted(5000));
        ASSERT_TRUE(devsim.waitForReadyRead(5000)) << "the simulator printed no terminal";
        for (int i = 0; i < 100 && !QFileInfo::exists(link); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_TRUE(QFileInfo::exists(link));
        qputenv("VELOR_EXTRA_PORTS", link.toLocal8Bit());
#endif
    }

    void TearDown() override {
        MainFormTest::TearDown();
        qunsetenv("VELOR_EXTRA_PORTS");
        if (devsim.state() != QProcess::NotRunning) {
            devsim.terminate();
            if (!devsim.waitForFinished(5000)) {
                devsim.kill();
                devsim.waitForFinished(5000);
            }
        }
    }

    QTemporaryDir folder;
    QString link;
    QString dump;
    QProcess devsim;
};

TEST_F(WriteFromWindowTest, WritesTheEmbeddedReleaseIntoTheDevice) {
    systemPorts = true;  // the system's own list, with the simulator's link in it
    Build();
    ShowAndActivate();
    log.clear();

    auto* cbPort = Child<QComboBox>("cbPort");
    const int index = static_cast<int>(
        std::find(model.cbPort.Items.begin(), model.cbPort.Items.end(), link.toStdString()) -
        model.cbPort.Items.begin());
    ASSERT_LT(index, cbPort->count()) << "the link is not in the port list";
    cbPort->setCurrentIndex(index);
    emit cbPort->activated(index);
    ASSERT_EQ(model.cbPort.Text(), link.toStdString());

    QTest::mouseClick(Child<QToolButton>("ButtonWrite"), Qt::LeftButton);

    // The completion message carries the time of day; no failure tones.
    const auto messages = Entries(log, "message|");
    ASSERT_FALSE(messages.empty()) << "the write showed nothing";
    EXPECT_NE(messages.back().find("12:34:56"), std::string::npos) << messages.back();
    EXPECT_TRUE(Entries(log, "tone|").empty());
    EXPECT_TRUE(Entries(log, "error|").empty());
    // The window shows the completion: status with the time, the write button off until the
    // next load, the focus on the detect button, the gauge back at 0.
    EXPECT_EQ(Child<QLabel>("LabelNameOfHex")->text(),
              QString::fromUtf8("Мікропрограма : успішно завантажена в 12:34:56"));
    EXPECT_FALSE(Child<QToolButton>("ButtonWrite")->isEnabled());
    EXPECT_TRUE(Child<QComboBox>("cbPort")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), Child<QWidget>("ButtonConect"));
    EXPECT_EQ(model.ProgressbarReadWrite.Text(), "0%");

    // Memory as the device holds it (dumped when it stops), against the image the window wrote.
    devsim.terminate();
    ASSERT_TRUE(devsim.waitForFinished(5000));
    QFile memory(dump);
    ASSERT_TRUE(memory.open(QIODevice::ReadOnly));
    const QByteArray bytes = memory.readAll();
    ASSERT_EQ(bytes.size(), 65536);
    const std::string expected = form->Controller().Image()->Read(0, bytes.size());
    EXPECT_EQ(bytes.toHex().toUpper().toStdString(), expected);
}

}  // namespace
}  // namespace velor::guitest
