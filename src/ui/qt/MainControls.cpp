// The main window's controls: built once, named for the screen reader and the tests.

#include <QAbstractItemView>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "ui/qt/Main.h"
#include "ui/qt/QtText.h"
#include "ui/qt/skin/ClickLabels.h"
#include "ui/qt/skin/SkinPictures.h"
#include "ui/qt/skin/TsGaugeWidget.h"
#include "ui/qt/skin/TsProgressBarWidget.h"
#include "ui/qt/skin/TsSkinManager.h"

namespace velor::ui {

namespace {

QFrame* MakePanel(QWidget* parent, const char* name, QRect geometry) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setProperty("skinSection", QStringLiteral("PANEL"));
    panel->setGeometry(geometry);
    return panel;
}

QComboBox* MakeList(QWidget* parent, const char* name, QRect geometry, const char* hint,
                    const char* accessibleName) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    list->setProperty("skinSection", QStringLiteral("COMBOBOX"));
    list->setGeometry(geometry);
    list->setEditable(false);
    list->setCursor(Qt::PointingHandCursor);
    list->setFocusPolicy(Qt::StrongFocus);
    list->setToolTip(Q(hint));
    list->setAccessibleName(Q(accessibleName));
    list->setAccessibleDescription(Q(hint));
    return list;
}

QPushButton* MakeButton(QWidget* parent, const char* name, QRect geometry, const char* caption,
                        const char* section) {
    auto* button = new QPushButton(Q(caption), parent);
    button->setObjectName(QLatin1String(name));
    button->setProperty("skinSection", QLatin1String(section));
    button->setGeometry(geometry);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

void TMainForm::BuildControls() {
    // MemoAbout (the device description and the flashing log) and TextTerminal (the firmware
    // text) are held by the model alone: they are never seen, and text controls would cost the
    // start-up their construction and every write a copy of each log line.
    m_sComboBoxSkinName = new QComboBox(this);
    m_sComboBoxSkinName->setObjectName(QStringLiteral("sComboBoxSkinName"));
    m_sComboBoxSkinName->setEditable(true);
    m_sComboBoxSkinName->setGeometry(32, 760, 145, 21);
    m_sComboBoxSkinName->setFocusPolicy(Qt::NoFocus);
    m_sComboBoxSkinName->setEditText(QStringLiteral("sComboBoxSkinName"));
    m_sComboBoxSkinName->setAccessibleName(Q("Оформлення"));

    m_sPanel1 = MakePanel(this, "sPanel1", QRect(7, 8, 314, 73));
    m_Label1 = new TsLabel(Q("Порт:"), m_sPanel1);
    m_Label1->setObjectName(QStringLiteral("Label1"));
    m_Label1->setGeometry(49, 17, 28, 13);
    m_Label1->resize(qMax(28, m_Label1->sizeHint().width()), 13);  // labels size to their text
    m_Label1->setCursor(Qt::PointingHandCursor);
    m_Label1->setToolTip(Q("Запустити диспетчер пристроїв"));
    m_Label1->setAccessibleName(Q("Порт:"));
    m_Label1->setAccessibleDescription(Q("Запустити диспетчер пристроїв"));
    m_cbPort = MakeList(m_sPanel1, "cbPort", QRect(30, 37, 73, 21),
                        "Ctrl+R оновлення списку портів", "Порт");
    m_Label1->setBuddy(m_cbPort);

    m_ButtonWrite = new QToolButton(m_sPanel1);
    m_ButtonWrite->setObjectName(QStringLiteral("ButtonWrite"));
    m_ButtonWrite->setGeometry(161, 6, 96, 60);
    m_ButtonWrite->setText(Q("Прошити"));
    m_ButtonWrite->setIcon(SkinIcon(":/ui/write-24.png"));
    m_ButtonWrite->setIconSize(QSize(24, 24));
    m_ButtonWrite->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_ButtonWrite->setFocusPolicy(Qt::StrongFocus);
    m_ButtonWrite->setCursor(Qt::PointingHandCursor);
    m_ButtonWrite->setAccessibleName(Q("Прошити"));
    m_ButtonWrite->setAccessibleDescription(Q("Записати мікропрограму в прилад"));

    m_LabelNameOfHex = new QLabel(this);
    m_LabelNameOfHex->setObjectName(QStringLiteral("LabelNameOfHex"));
    m_LabelNameOfHex->setTextFormat(Qt::PlainText);  // it shows file names: no markup drawn
    m_LabelNameOfHex->setGeometry(10, 87, 86, 13);
    m_LabelNameOfHex->setAccessibleDescription(Q("Стан"));

    m_ProgressbarReadWrite = new TsGaugeWidget(this);
    m_ProgressbarReadWrite->setObjectName(QStringLiteral("ProgressbarReadWrite"));
    m_ProgressbarReadWrite->setProperty("skinSection", QStringLiteral("BAR"));
    m_ProgressbarReadWrite->setGeometry(6, 104, 315, 17);
    m_ProgressbarReadWrite->setAccessibleName(Q("Хід запису"));
    m_ProgressbarReadWrite->setAccessibleDescription(Q("Записані сторінки, у відсотках"));

    m_Label3 = new QLabel(this);
    m_Label3->setObjectName(QStringLiteral("Label3"));
    m_Label3->setTextFormat(Qt::PlainText);
    m_Label3->setGeometry(12, 149, 110, 13);
    m_Label3->setAccessibleDescription(Q("Затримки команд, мс"));

    m_ProgressbarWrite = new TsProgressBarWidget(this);
    m_ProgressbarWrite->setObjectName(QStringLiteral("ProgressbarWrite"));
    m_ProgressbarWrite->setProperty("skinSection", QStringLiteral("BAR"));
    m_ProgressbarWrite->setGeometry(8, 167, 265, 9);
    m_ProgressbarWrite->setAccessibleName(Q("Блоки сторінки"));
    m_ProgressbarWrite->setAccessibleDescription(Q("Записані блоки поточної сторінки"));

    m_cbBaudRate =
        MakeList(this, "cbBaudRate", QRect(16, 190, 81, 21),
                 "Швидкість встановлюється відповідно до документації на прилад", "Швидкість");

    m_sPanel2 = MakePanel(this, "sPanel2", QRect(8, 224, 265, 81));
    m_ButtonConect =
        MakeButton(m_sPanel2, "ButtonConect", QRect(31, 16, 81, 57), "Визначити", "BUTTON_HUGE");
    m_ButtonConect->setAccessibleName(Q("Визначити"));
    m_ButtonConect->setAccessibleDescription(Q("Визначити прилад і прочитати його опис"));
    m_ButtonOpenHex =
        MakeButton(m_sPanel2, "ButtonOpenHex", QRect(152, 16, 81, 57), "Відкрити", "BUTTON_HUGE");
    m_ButtonOpenHex->setToolTip(
        Q("Повинна бути точна відповідність приладу і мікропрограми для нього"));
    m_ButtonOpenHex->setAccessibleName(Q("Відкрити"));
    m_ButtonOpenHex->setAccessibleDescription(m_ButtonOpenHex->toolTip());

    m_sPanel3 = MakePanel(this, "sPanel3", QRect(248, 200, 41, 153));
    m_sButton2 = MakeButton(m_sPanel3, "sButton2", QRect(8, 12, 25, 57), "", "DIALOG");
    m_sButton2->setIcon(SkinIcon(":/ui/web-16.png"));
    m_sButton2->setToolTip(Q("Сайт виробника"));
    m_sButton2->setAccessibleName(Q("Сайт виробника"));
    m_sButton3 = MakeButton(m_sPanel3, "sButton3", QRect(8, 84, 25, 57), "", "DIALOG");
    m_sButton3->setIcon(SkinIcon(":/ui/info-16.png"));
    m_sButton3->setToolTip(Q("Інформація про програму"));
    m_sButton3->setAccessibleName(Q("Інформація про програму"));

    setTabOrder(m_cbPort, m_ButtonWrite);
    setTabOrder(m_ButtonWrite, m_ButtonConect);
    setTabOrder(m_ButtonConect, m_ButtonOpenHex);
    setTabOrder(m_ButtonOpenHex, m_sButton2);
    setTabOrder(m_sButton2, m_sButton3);
    setTabOrder(m_sButton3, m_cbBaudRate);
}

}  // namespace velor::ui
