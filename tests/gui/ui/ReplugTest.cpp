// An adapter pulled while the port is open and plugged back: the window reports the port error of
// the operation that met it, and the next write reaches the new device without a restart.

#include <QFile>
#include <QPushButton>
#include <QToolButton>

#include "DevsimWindowFixture.h"

namespace velor::guitest {
namespace {

class ReplugTest : public DevsimWindowTest {
  protected:
    ReplugTest() { devsimArgs = {QStringLiteral("--geometry"), QStringLiteral("4:32:8")}; }

    // The old device vanishes at once; a new one answers behind the same link.
    void Replug() {
        if (devsim.state() != QProcess::NotRunning) {
            devsim.kill();
            ASSERT_TRUE(devsim.waitForFinished(5000));
        }
        QFile::remove(dump);
        devsim.start();
        ASSERT_TRUE(devsim.waitForStarted(5000));
        ASSERT_TRUE(devsim.waitForReadyRead(5000));
        for (int i = 0; i < 100 && !QFileInfo::exists(link); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_TRUE(QFileInfo::exists(link));
    }

    // Kills the device at the first turn of a write that has programmed a page.
    void KillMidWrite() {
        host.OnEvents = [this] {
            if (model.Activity == DeviceActivity::Writing &&
                model.ProgressbarReadWrite.Progress() >= 1 &&
                devsim.state() != QProcess::NotRunning) {
                devsim.kill();
                devsim.waitForFinished(5000);
            }
        };
    }

    // A write from "Прошити" that ends done, and the new device holding the image byte for byte.
    void ExpectTheNextWriteDone() {
        host.OnEvents = nullptr;
        log.clear();
        QTest::mouseClick(Child<QToolButton>("ButtonWrite"), Qt::LeftButton);
        EXPECT_TRUE(Entries(log, "error|").empty()) << "the replugged device met a port error";
        const auto messages = Entries(log, "message|");
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find("успішно завантажена"), std::string::npos) << messages[0];
        devsim.terminate();
        ASSERT_TRUE(devsim.waitForFinished(5000));
        QFile memory(dump);
        ASSERT_TRUE(memory.open(QIODevice::ReadOnly));
        const QByteArray bytes = memory.readAll();
        ASSERT_GT(bytes.size(), 0);
        EXPECT_EQ(bytes.toHex().toUpper().toStdString(),
                  form->Controller().Image()->Read(0, bytes.size()));
    }
};

TEST_F(ReplugTest, AWriteWhoseDeviceVanishedReportsOnceAndTheNextWriteWorks) {
    BuildOnTheSimulator();
    KillMidWrite();
    QTest::mouseClick(Child<QToolButton>("ButtonWrite"), Qt::LeftButton);
    ASSERT_EQ(devsim.state(), QProcess::NotRunning) << "the write ended before the device went";
    EXPECT_EQ(Entries(log, "error|").size(), 1u) << "the port error is reported once";
    Replug();
    ExpectTheNextWriteDone();
}

TEST_F(ReplugTest, AStoppedWriteThenANewDevice) {
    BuildOnTheSimulator();
    bool stopped = false;
    host.OnEvents = [&] {
        if (!stopped && model.Activity == DeviceActivity::Writing &&
            model.ProgressbarReadWrite.Progress() >= 1) {
            stopped = true;
            PressKey(*form, Qt::Key_Delete, Qt::ControlModifier);
        }
    };
    QTest::mouseClick(Child<QToolButton>("ButtonWrite"), Qt::LeftButton);
    ASSERT_TRUE(stopped);
    EXPECT_TRUE(Entries(log, "error|").empty());
    Replug();
    ExpectTheNextWriteDone();
}

TEST_F(ReplugTest, ADetectedDeviceReplacedBeforeTheWrite) {
    BuildOnTheSimulator();
    PressKey(*form, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    Child<QPushButton>("ButtonConect")->click();
    ASSERT_TRUE(Entries(log, "error|").empty());
    Replug();
    ExpectTheNextWriteDone();
}

// A device whose own USB port re-enumerates at its reset: gone before the second reset frame.
class LeaveAtResetTest : public ReplugTest {
  protected:
    LeaveAtResetTest() { devsimArgs << QStringLiteral("--leave-at-reset"); }
};

TEST_F(LeaveAtResetTest, EveryPageWrittenAndTheDeviceGoneAtItsResetIsADoneWrite) {
    BuildOnTheSimulator();
    QTest::mouseClick(Child<QToolButton>("ButtonWrite"), Qt::LeftButton);
    EXPECT_TRUE(Entries(log, "error|").empty()) << "a port error after the last page";
    EXPECT_TRUE(Entries(log, "tone|").empty()) << "failure tones";
    const auto messages = Entries(log, "message|");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("успішно завантажена"), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("від'єднався від лінії"), std::string::npos) << messages[0];
    EXPECT_EQ(model.ProgressbarReadWrite.Text(), "0%");
    EXPECT_FALSE(Child<QToolButton>("ButtonWrite")->isEnabled());
    // The next device on the same link is detected without a restart.
    Replug();
    log.clear();
    PressKey(*form, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    Child<QPushButton>("ButtonConect")->click();
    EXPECT_TRUE(Entries(log, "error|").empty());
}

}  // namespace
}  // namespace velor::guitest
