// Errors that end a window handler reach the error box, with the full-stop rule, and leave the
// window as the handler left it.

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <filesystem>

#include "MainFormFixture.h"

namespace velor::guitest {
namespace {

class ErrorsTest : public MainFormTest {};

TEST_F(ErrorsTest, FailedRefreshKeepsTheListAndAddsNoFullStopAfterTheMark) {
    Build();
    ShowAndActivate();
    log.clear();
    portsReadable = false;
    PressKey(*form, Qt::Key_R, Qt::ControlModifier);
    ASSERT_EQ(Entries(log, "error|").size(), 1u);
    EXPECT_EQ(log[0].back(), '!');
    EXPECT_EQ(Child<QComboBox>("cbPort")->count(), 2);
    EXPECT_TRUE(Entries(log, "message|").empty());

    portsReadable = true;
    ports = {"/dev/ttyS4"};
    PressKey(*form, Qt::Key_R, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(Child<QComboBox>("cbPort")->count(), 1);
    EXPECT_EQ(log.back(), std::string("message|") + kMainCaption + "|Порти оновлено!");
}

TEST_F(ErrorsTest, MissingFileEndsTheOpenWithAFullStop) {
    Build();
    ShowAndActivate();
    log.clear();
    const std::string missing = "/nonexistent-velor/firmware.hex";
    form->SetFileChooser([&] { return std::optional<std::string>(missing); });
    PressKey(*form, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::mouseClick(Child<QPushButton>("ButtonOpenHex"), Qt::LeftButton);
    EXPECT_EQ(log, (Log{std::string("error|") + kMainCaption + "|Cannot open file \"" + missing +
                        "\". No such file or directory."}));
    EXPECT_EQ(Child<QLabel>("LabelNameOfHex")->text().toStdString(), kStatusReady);
}

}  // namespace
}  // namespace velor::guitest
