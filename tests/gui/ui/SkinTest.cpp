// The skin as the window draws it: a switch recolours the windows already shown, the write
// button wears the accent, the focused control shows it, the link keeps its own colour.

#include <QComboBox>
#include <QEnterEvent>
#include <QImage>

#include "MainFormFixture.h"
#include "ui/qt/skin/ClickLabels.h"

namespace velor::guitest {
namespace {

class SkinTest : public MainFormTest {
  protected:
    void SetUp() override {
        Build();
        ShowAndActivate();
    }

    // The colour drawn at a point of the named control, as it paints now.
    QColor PixelOf(const char* name, QPoint at) const {
        QWidget* w = Child<QWidget>(name);
        EXPECT_NE(w, nullptr) << name;
        return w == nullptr ? QColor() : w->grab().toImage().pixelColor(at);
    }

    // A point just inside the control's left border, halfway down.
    QPoint InsideLeft(const char* name, int inset) const {
        return {inset, Child<QWidget>(name)->height() / 2};
    }

    const ui::SkinColors& Colors() const { return form->SkinManager().Colors(); }
};

TEST_F(SkinTest, SwitchingTheSkinRecoloursTheWindowAlreadyShown) {
    const ui::SkinColors light = Colors();
    Child<QComboBox>("sComboBoxSkinName")->setEditText(QStringLiteral("Velor Dark"));
    QApplication::processEvents();  // the palette reaches the widgets through the event loop
    const ui::SkinColors& dark = Colors();
    ASSERT_NE(light.Panel, dark.Panel);
    ASSERT_NE(light.Track, dark.Track);

    EXPECT_EQ(form->grab().toImage().pixelColor(2, 2), dark.Window);
    EXPECT_EQ(PixelOf("sPanel1", InsideLeft("sPanel1", 3)), dark.Panel);
    EXPECT_EQ(PixelOf("ButtonConect", InsideLeft("ButtonConect", 4)), dark.Panel);
    EXPECT_EQ(PixelOf("ProgressbarReadWrite", InsideLeft("ProgressbarReadWrite", 4)), dark.Track);
    EXPECT_EQ(PixelOf("ProgressbarWrite", InsideLeft("ProgressbarWrite", 6)), dark.Track);
    EXPECT_EQ(Child<QWidget>("Label3")->palette().color(QPalette::WindowText), dark.Text);

    form->SkinManager().SetSkinName(QStringLiteral("Velor Light"));
    EXPECT_EQ(PixelOf("ButtonConect", InsideLeft("ButtonConect", 4)), light.Panel);
    EXPECT_EQ(PixelOf("ProgressbarReadWrite", InsideLeft("ProgressbarReadWrite", 4)), light.Track);
}

TEST_F(SkinTest, WriteButtonWearsTheAccentAndTheDisabledColourWhenOff) {
    for (const char* skin : {"Velor Light", "Velor Dark"}) {
        SCOPED_TRACE(skin);
        form->SkinManager().SetSkinName(QString::fromLatin1(skin));
        QWidget* write = Child<QWidget>("ButtonWrite");
        write->setEnabled(true);
        EXPECT_EQ(PixelOf("ButtonWrite", InsideLeft("ButtonWrite", 4)), Colors().Accent);
        write->setEnabled(false);
        EXPECT_EQ(PixelOf("ButtonWrite", InsideLeft("ButtonWrite", 4)), Colors().Disabled);
    }
}

TEST_F(SkinTest, FocusedControlShowsTheAccentOnItsBorder) {
    ASSERT_EQ(QApplication::focusWidget(), Child<QWidget>("cbPort"));
    EXPECT_EQ(PixelOf("cbPort", InsideLeft("cbPort", 0)), Colors().Accent);
    const QColor writeBorder = PixelOf("ButtonWrite", InsideLeft("ButtonWrite", 0));

    PressKey(*form, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), Child<QWidget>("ButtonWrite"));
    EXPECT_EQ(PixelOf("cbPort", InsideLeft("cbPort", 0)), Colors().PanelBorder);
    EXPECT_NE(PixelOf("ButtonWrite", InsideLeft("ButtonWrite", 0)), writeBorder);
    EXPECT_NE(PixelOf("ButtonWrite", InsideLeft("ButtonWrite", 1)), Colors().Accent);
}

TEST_F(SkinTest, LinkKeepsItsColourAndTakesTheTextColourUnderThePointer) {
    form->SkinManager().SetSkinName(QStringLiteral("Velor Dark"));
    QApplication::processEvents();  // the palette reaches the widgets through the event loop
    ui::TsWebLabel* link = about->sWebLabel1();
    const QColor own = link->palette().color(QPalette::WindowText);
    EXPECT_NE(own, Colors().Text);

    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(link, &enter);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), Colors().Text);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(link, &leave);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), own);
}

}  // namespace
}  // namespace velor::guitest
