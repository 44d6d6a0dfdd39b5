// Windows fade out as they fade in, for as long: 70 ms for a window, 50 ms for a dialog or a
// message box.

#include <QMessageBox>
#include <QPointer>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QTimer>

#include "MainFormFixture.h"
#include "ui/qt/MessageBoxes.h"

namespace velor::guitest {
namespace {

// The fade running on the window's opacity, if any.
QPropertyAnimation* RunningFade(QWidget* window) {
    for (auto* fade : window->findChildren<QPropertyAnimation*>()) {
        if (fade->propertyName() == "windowOpacity" &&
            fade->state() == QAbstractAnimation::Running) {
            return fade;
        }
    }
    return nullptr;
}

class HideAnimationTest : public MainFormTest {
  protected:
    void SetUp() override {
        Build();
        ShowAndActivate();
        form->SkinManager().SetAnimated(true);
        log.clear();
    }
};

TEST_F(HideAnimationTest, TheAboutWindowFadesOutBeforeItIsHidden) {
    about->ShowWindow();
    ASSERT_NE(RunningFade(about.get()), nullptr);
    const int showing = RunningFade(about.get())->duration();  // a dialog frame: 50 ms
    EXPECT_EQ(showing, 50);
    QTRY_VERIFY(RunningFade(about.get()) == nullptr);
    QTest::mouseClick(about->Button1(), Qt::LeftButton);

    EXPECT_TRUE(about->isVisible());
    QPropertyAnimation* fade = RunningFade(about.get());
    ASSERT_NE(fade, nullptr) << "hidden without a fade";
    EXPECT_EQ(fade->duration(), showing);
    EXPECT_EQ(fade->endValue().toDouble(), 0.0);
    QTRY_VERIFY(!about->isVisible());
    EXPECT_EQ(about->windowOpacity(), 1.0);  // ready for the next showing

    // Shown again while fading out: it stays.
    about->ShowWindow();
    QTRY_VERIFY(RunningFade(about.get()) == nullptr);
    PressKey(*about, Qt::Key_F1);
    about->ShowWindow();
    QTest::qWait(150);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowOpacity(), 1.0);
}

TEST_F(HideAnimationTest, AMessageBoxFadesOutInFiftyMilliseconds) {
    int seenDuration = -1;
    bool visibleWhileFading = false;
    QPointer<QMessageBox> pressed;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (pressed.isNull()) {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box != nullptr && RunningFade(box) == nullptr) {  // fully shown: press OK
                pressed = box;
                QTimer::singleShot(0, box, [box] { box->buttons().constFirst()->click(); });
            }
        } else if (seenDuration < 0) {
            if (QPropertyAnimation* fade = RunningFade(pressed)) {
                seenDuration = fade->duration();
                visibleWhileFading = pressed->isVisible();
            }
        }
    });
    poll.start();
    auto box = ui::MakeMessageBox(QStringLiteral("caption"), QStringLiteral("text"));
    ui::ExecCentred(*box);
    poll.stop();
    EXPECT_EQ(pressed.data(), box.get());
    EXPECT_EQ(seenDuration, 50);
    EXPECT_TRUE(visibleWhileFading);
    EXPECT_FALSE(box->isVisible());
}

}  // namespace
}  // namespace velor::guitest
