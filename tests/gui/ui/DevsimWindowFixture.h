#pragma once
// The window over a velor-devsim whose terminal is offered in the port list (VELOR_EXTRA_PORTS),
// as a technician meets a real device.

#include <QComboBox>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <thread>

#include "MainFormFixture.h"

namespace velor::guitest {

class DevsimWindowTest : public MainFormTest {
  protected:
    void SetUp() override {
#ifndef VELOR_DEVSIM_PATH
        GTEST_SKIP() << "velor-devsim is not built on this platform";
#else
        ASSERT_TRUE(folder.isValid());
        link = folder.filePath(QStringLiteral("kalmira"));
        dump = folder.filePath(QStringLiteral("memory.bin"));
        devsim.setProgram(QStringLiteral(VELOR_DEVSIM_PATH));
        devsim.setArguments(
            QStringList{QStringLiteral("--link"), link, QStringLiteral("--dump"), dump} +
            devsimArgs);
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

    // The window built over the system's port list, the simulator's link chosen in cbPort.
    void BuildOnTheSimulator() {
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
    }

    QStringList devsimArgs;  // set before SetUp runs, in the test's constructor
    QTemporaryDir folder;
    QString link;
    QString dump;
    QProcess devsim;
};

}  // namespace velor::guitest
