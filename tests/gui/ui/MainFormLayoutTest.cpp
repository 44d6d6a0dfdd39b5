// What only the widgets show: places, texts, hints, focus order, the fixed frame, the layouts.

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "MainFormFixture.h"
#include "ui/qt/MessageBoxes.h"
#include "ui/qt/skin/TsGaugeWidget.h"
#include "ui/qt/skin/TsSkinManager.h"

namespace velor::guitest {
namespace {

struct Place {
    const char* Name;
    const char* Parent;
    QRect Geometry;
    const char* Text;
    const char* Hint;
};

const Place kPlaces[] = {
    {"sPanel1", "MainForm", {7, 8, 314, 73}, "", ""},
    {"cbPort", "sPanel1", {30, 37, 73, 21}, "", "Ctrl+R оновлення списку портів"},
    {"ButtonWrite", "sPanel1", {161, 6, 96, 60}, "Прошити", ""},
    {"ProgressbarReadWrite", "MainForm", {6, 104, 315, 17}, "", ""},
    {"ProgressbarWrite", "MainForm", {8, 167, 265, 9}, "", ""},
    {"cbBaudRate",
     "MainForm",
     {16, 190, 81, 21},
     "",
     "Швидкість встановлюється відповідно до документації на прилад"},
    {"sPanel2", "MainForm", {8, 224, 265, 81}, "", ""},
    {"ButtonConect", "sPanel2", {31, 16, 81, 57}, "Визначити", ""},
    {"ButtonOpenHex",
     "sPanel2",
     {152, 16, 81, 57},
     "Відкрити",
     "Повинна бути точна відповідність приладу і мікропрограми для нього"},
    {"sPanel3", "MainForm", {248, 200, 41, 153}, "", ""},
    {"sButton2", "sPanel3", {8, 12, 25, 57}, "", "Сайт виробника"},
    {"sButton3", "sPanel3", {8, 84, 25, 57}, "", "Інформація про програму"},
    {"sComboBoxSkinName", "MainForm", {32, 760, 145, 21}, "", ""},
};

// Labels size themselves to their text: their place and height are fixed, their width grows.
const Place kLabels[] = {
    {"Label1", "sPanel1", {49, 17, 28, 13}, "Порт:", "Запустити диспетчер пристроїв"},
    {"LabelNameOfHex", "MainForm", {10, 87, 86, 13}, "Мікропрограма готова до запису", ""},
    {"Label3", "MainForm", {12, 149, 110, 13}, "Автокалібровка: 0.0.0", ""},
};

QString TextOf(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    return {};
}

class LayoutTest : public MainFormTest {};

TEST_F(LayoutTest, ControlsStandWhereTheFormPutsThem) {
    Build();
    for (const Place& p : kPlaces) {
        SCOPED_TRACE(p.Name);
        auto* w = Child<QWidget>(p.Name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->parentWidget()->objectName(), QString::fromLatin1(p.Parent));
        EXPECT_EQ(w->geometry(), p.Geometry);
        EXPECT_EQ(TextOf(w), QString::fromUtf8(p.Text));
        EXPECT_EQ(w->toolTip(), QString::fromUtf8(p.Hint));
        EXPECT_TRUE(w->isEnabled());
    }
    for (const Place& p : kLabels) {
        SCOPED_TRACE(p.Name);
        auto* w = Child<QLabel>(p.Name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->parentWidget()->objectName(), QString::fromLatin1(p.Parent));
        EXPECT_EQ(w->pos(), p.Geometry.topLeft());
        EXPECT_EQ(w->height(), p.Geometry.height());
        EXPECT_GE(w->width(), qMin(p.Geometry.width(), w->sizeHint().width()));
        if (p.Name != std::string("LabelNameOfHex")) {
            EXPECT_GE(w->width(), p.Geometry.width());
        }
        EXPECT_GE(w->width(), w->sizeHint().width()) << "text cut off";
        EXPECT_EQ(w->text(), QString::fromUtf8(p.Text));
        EXPECT_EQ(w->toolTip(), QString::fromUtf8(p.Hint));
    }
    auto* skinName = Child<QComboBox>("sComboBoxSkinName");
    EXPECT_TRUE(skinName->isEditable());
    EXPECT_EQ(skinName->currentText(), QStringLiteral("sComboBoxSkinName"));
    EXPECT_EQ(skinName->count(), 0);

    // The skin follows the box's text; a name the manager does not hold keeps the skin.
    EXPECT_EQ(form->SkinManager().SkinName(), QStringLiteral("Velor Light"));
    log.clear();
    skinName->setEditText(QStringLiteral("Velor Dark"));
    EXPECT_EQ(form->SkinManager().SkinName(), QStringLiteral("Velor Dark"));
    skinName->setEditText(QStringLiteral("no such skin"));
    EXPECT_EQ(form->SkinManager().SkinName(), QStringLiteral("Velor Dark"));
    EXPECT_TRUE(log.empty());
}

TEST_F(LayoutTest, EveryControlOffersANameToAssistiveTools) {
    Build();
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")) ||
            w->objectName().startsWith(QLatin1String("sPanel"))) {
            continue;  // the panels only group; Qt's own inner parts
        }
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(a, nullptr) << w->objectName().toStdString();
        EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << w->objectName().toStdString();
    }
}

TEST_F(LayoutTest, WindowHasAFixedFrameAndTheNormalClientSize) {
    Build();
    EXPECT_EQ(form->size(), QSize(329, 127));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_EQ(form->windowTitle().toStdString(), kMainCaption);
    EXPECT_FALSE(form->windowIcon().isNull());
    EXPECT_EQ(form->windowIcon().availableSizes(), (QList<QSize>{QSize(32, 32), QSize(16, 16)}));
    // Out of view in both layouts.
    const QRect service(0, 0, 329, 340);
    EXPECT_FALSE(service.intersects(Child<QWidget>("sComboBoxSkinName")->geometry()));
}

TEST_F(LayoutTest, ServiceKeySetsTheOuterHeightOnceAndForAll) {
    Build();
    ShowAndActivate();
    const QPoint topLeft = form->frameGeometry().topLeft();
    PressKey(*form, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(form->height(), 127);

    PressKey(*form, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form->frameGeometry().height(), 340);
    EXPECT_EQ(form->frameGeometry().topLeft(), topLeft);
    EXPECT_EQ(form->width(), 329);

    PressKey(*form, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    form->resize(400, 500);
    QApplication::processEvents();
    EXPECT_EQ(form->frameGeometry().height(), 340);
    EXPECT_EQ(form->width(), 329);
    EXPECT_TRUE(model.ServiceLayout);
}

TEST_F(LayoutTest, SelectionsSetByTheProgramRunNoHandler) {
    Build();
    ShowAndActivate();
    auto* cbPort = Child<QComboBox>("cbPort");
    auto* cbBaudRate = Child<QComboBox>("cbBaudRate");
    EXPECT_EQ(cbPort->currentText(), QStringLiteral("ttyUSB0"));  // the name under /dev
    EXPECT_EQ(cbBaudRate->currentText(), QStringLiteral("115200"));

    model.Focus = FocusTarget::cbPort;
    model.cbPort.ItemIndex = 1;
    model.cbBaudRate.ItemIndex = 6;
    form->Render();
    EXPECT_EQ(cbPort->currentIndex(), 1);
    EXPECT_EQ(QApplication::focusWidget(), cbPort);
    EXPECT_EQ(form->Controller().Port().BaudRate(), TBaudRate::br9600);

    // The operator's choices run the handlers: the port choice moves the focus to ButtonConect
    // (unseen in this layout), the rate choice reaches the port at once.
    emit cbPort->activated(0);
    EXPECT_EQ(model.cbPort.ItemIndex, 0);
    EXPECT_EQ(QApplication::focusWidget(), Child<QWidget>("ButtonConect"));
    emit cbBaudRate->activated(13);
    EXPECT_EQ(form->Controller().Port().BaudRate(), TBaudRate::br128000);
}

TEST_F(LayoutTest, GaugeShowsAndAnnouncesTheModelsPercentage) {
    Build();
    model.ProgressbarReadWrite.SetMaxValue(8);
    model.ProgressbarReadWrite.SetProgress(3);
    form->Render();
    auto* gauge = Child<ui::TsGaugeWidget>("ProgressbarReadWrite");
    EXPECT_EQ(gauge->Text(), QStringLiteral("38%"));  // 37.5 rounds to even
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(gauge);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::ProgressBar);
    ASSERT_NE(a->valueInterface(), nullptr);
    EXPECT_EQ(a->valueInterface()->currentValue().toInt(), 38);
    EXPECT_EQ(a->text(QAccessible::Value), QStringLiteral("38%"));
}

TEST(MessageBoxTest, MessagesHaveNoIconAndErrorsTheErrorIcon) {
    App();
    const auto message = ui::MakeMessageBox(QStringLiteral("Title"), QStringLiteral("Text"));
    EXPECT_EQ(message->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(message->windowTitle(), QStringLiteral("Title"));
    ASSERT_EQ(message->buttons().size(), 1);
    EXPECT_EQ(message->buttons()[0]->text(), QStringLiteral("OK"));
    EXPECT_TRUE(message->isModal() || message->windowModality() != Qt::NonModal);

    const auto error = ui::MakeErrorBox(QStringLiteral("Title"), QStringLiteral("Bad."));
    EXPECT_EQ(error->icon(), QMessageBox::Critical);
    EXPECT_EQ(error->text(), QStringLiteral("Bad."));
    ASSERT_EQ(error->buttons().size(), 1);
    EXPECT_EQ(error->buttons()[0]->text(), QStringLiteral("OK"));
}

}  // namespace
}  // namespace velor::guitest
