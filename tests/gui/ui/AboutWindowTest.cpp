// The About window: F1 from the main window opens it, F1 in it closes it, and it comes back
// where it was.

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include "MainFormFixture.h"
#include "ui/qt/skin/ClickLabels.h"

namespace velor::guitest {
namespace {

class AboutWindowTest : public MainFormTest {
  protected:
    void SetUp() override {
        Build();
        ShowAndActivate();
        log.clear();
    }
};

TEST_F(AboutWindowTest, F1TogglesAndTheWindowKeepsItsPlace) {
    EXPECT_EQ(about->windowTitle(), QString::fromUtf8("Про програму"));
    EXPECT_EQ(about->size(), QSize(154, 193));
    EXPECT_FALSE(about->isVisible());

    PressKey(*form, Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_TRUE(about->isVisible());
    EXPECT_EQ(about->pos(), QPoint(616, 197));
    ASSERT_TRUE(QTest::qWaitForWindowActive(about.get()));
    EXPECT_EQ(QApplication::focusWidget(), about->Button1());

    about->move(300, 150);
    PressKey(*about, Qt::Key_F1, Qt::ControlModifier);
    EXPECT_FALSE(about->isVisible());
    EXPECT_TRUE(form->isVisible());

    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    PressKey(*form, Qt::Key_F1);
    ASSERT_TRUE(about->isVisible());
    EXPECT_EQ(about->pos(), QPoint(300, 150));
    EXPECT_TRUE(Entries(log, "beep|").empty());
    EXPECT_EQ(Entries(log, "shell|about").size(), 2u);
}

TEST_F(AboutWindowTest, ButtonsAndLinkBeepTheCloseBoxDoesNot) {
    about->ShowWindow();
    PressKey(*about, Qt::Key_Escape);
    EXPECT_TRUE(about->isVisible());

    QTest::mouseClick(about->sWebLabel1(), Qt::LeftButton);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(log, (Log{"beep|64", "shell|web|https://velor-bootloader.example"}));

    about->close();
    EXPECT_FALSE(about->isVisible());
    EXPECT_EQ(log.size(), 2u);

    about->ShowWindow();
    QTest::mouseClick(about->Button1(), Qt::LeftButton);
    EXPECT_FALSE(about->isVisible());
    EXPECT_EQ(log.back(), "beep|64");
}

TEST_F(AboutWindowTest, NarrowButtonOpensItWithAnAsterisk) {
    PressKey(*form, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::mouseClick(Child<QPushButton>("sButton3"), Qt::LeftButton);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(log, (Log{"beep|64", "shell|about"}));
}

}  // namespace
}  // namespace velor::guitest
