// One whole write from the window into velor-devsim: the port comes from VELOR_EXTRA_PORTS like
// any virtual port, the operator picks it and presses "Прошити", and the simulated memory ends
// up equal to the image the window built.

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QToolButton>

#include "DevsimWindowFixture.h"

namespace velor::guitest {
namespace {

class WriteFromWindowTest : public DevsimWindowTest {};

TEST_F(WriteFromWindowTest, WritesTheEmbeddedReleaseIntoTheDevice) {
    BuildOnTheSimulator();

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
