// The window from the keyboard and from assistive tools: where the focus starts, where Tab takes
// it, what Enter presses, and a screen reader's "press" that must not hold the reader.

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QPushButton>
#include <QToolButton>

#include "MainFormFixture.h"

namespace velor::guitest {
namespace {

class KeyboardTest : public MainFormTest {
  protected:
    void SetUp() override {
        Build();
        ShowAndActivate();
        log.clear();
    }

    QString Focused() const {
        QWidget* w = QApplication::focusWidget();
        return w == nullptr ? QStringLiteral("(none)") : w->objectName();
    }

    // The focus after each of `count` presses of Tab (or Shift+Tab).
    QStringList Walk(int count, bool backward = false) {
        QStringList visited;
        for (int i = 0; i < count; ++i) {
            PressKey(*form, Qt::Key_Tab, backward ? Qt::ShiftModifier : Qt::NoModifier);
            visited << Focused();
        }
        return visited;
    }
};

TEST_F(KeyboardTest, FocusStartsOnThePortListAndTabWalksOnlyWhatIsSeen) {
    EXPECT_EQ(Focused(), QStringLiteral("cbPort"));
    EXPECT_EQ(Walk(3), (QStringList{"ButtonWrite", "cbPort", "ButtonWrite"}));
    EXPECT_EQ(Walk(2, true), (QStringList{"cbPort", "ButtonWrite"}));
    EXPECT_EQ(model.MemoAbout.Text(), "");  // no tab typed into the hidden memo

    PressKey(*form, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    Child<QWidget>("cbPort")->setFocus();
    EXPECT_EQ(Walk(7), (QStringList{"ButtonWrite", "ButtonConect", "ButtonOpenHex", "sButton2",
                                    "sButton3", "cbBaudRate", "cbPort"}));
    EXPECT_EQ(Walk(2, true), (QStringList{"cbBaudRate", "sButton3"}));

    // A disabled control is passed over.
    model.ButtonConect.Enabled = false;
    model.cbPort.Enabled = false;
    form->Render();
    Child<QWidget>("ButtonWrite")->setFocus();
    EXPECT_EQ(Walk(1), QStringList{"ButtonOpenHex"});
}

TEST_F(KeyboardTest, EnterPressesTheFocusedButton) {
    PressKey(*form, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    bool chooserShown = false;
    form->SetFileChooser([&chooserShown] {
        chooserShown = true;
        return std::optional<std::string>();
    });

    Child<QWidget>("sButton2")->setFocus();
    PressKey(*form, Qt::Key_Return);
    EXPECT_EQ(log, (Log{"beep|64", "shell|web|https://velor-bootloader.example"}));

    Child<QWidget>("ButtonOpenHex")->setFocus();
    PressKey(*form, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(chooserShown);

    log.clear();  // the port of the list is no device here: each press ends in the port's error
    Child<QWidget>("ButtonConect")->setFocus();
    PressKey(*form, Qt::Key_Return);
    EXPECT_EQ(Entries(log, "beep|32").size(), 1u);
    EXPECT_EQ(Entries(log, "error|").size(), 1u);
    Child<QWidget>("ButtonWrite")->setFocus();
    PressKey(*form, Qt::Key_Return);
    EXPECT_EQ(Entries(log, "error|").size(), 2u);

    log.clear();
    Child<QWidget>("sButton3")->setFocus();
    PressKey(*form, Qt::Key_Return);
    ASSERT_TRUE(about->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowActive(about.get()));
    PressKey(*about, Qt::Key_Return);
    EXPECT_FALSE(about->isVisible());
    EXPECT_EQ(log, (Log{"beep|64", "shell|about", "beep|64"}));
}

TEST_F(KeyboardTest, AnAccessiblePressReturnsBeforeTheClickRuns) {
    for (const char* name : {"ButtonWrite", "ButtonConect"}) {
        log.clear();
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(Child<QWidget>(name));
        ASSERT_NE(button, nullptr) << name;
        ASSERT_NE(button->actionInterface(), nullptr) << name;
        ASSERT_TRUE(button->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::pressAction()))
            << name;
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_TRUE(log.empty()) << name << ": the press waited for the operation";
        // Right after, the click runs: its port error ends it.
        QTRY_COMPARE(Entries(log, "error|").size(), std::size_t{1});
    }
}

}  // namespace
}  // namespace velor::guitest
