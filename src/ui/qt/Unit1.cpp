#include "ui/qt/Unit1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>

#include "mainform/KeyCodes.h"
#include "mainform/KeyboardRules.h"
#include "ui/qt/KeyMapping.h"
#include "ui/qt/skin/ClickLabels.h"
#include "ui/qt/skin/SkinPictures.h"
#include "ui/qt/skin/TsSkinManager.h"

namespace velor::ui {

namespace {
constexpr QPoint kDesignPosition(616, 197);
constexpr QSize kClientSize(154, 193);
}  // namespace

TFormHelp::TFormHelp(IHost& host, IShell& shell, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_controller(*this, host, shell) {
    setObjectName(QStringLiteral("FormHelp"));
    setAttribute(Qt::WA_StyledBackground);
    setWindowTitle(QString::fromUtf8(kAboutCaption));
    setAccessibleName(QString::fromUtf8(kAboutCaption));
    setFixedSize(kClientSize);

    m_emblem = new QLabel(this);
    m_emblem->setObjectName(QStringLiteral("Image_Emblem"));
    m_emblem->setGeometry(16, 16, 121, 89);
    m_emblem->setPixmap(SkinPicture(":/ui/emblem.png"));
    m_emblem->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_emblem->setAccessibleName(QStringLiteral("Velor Bootloader"));
    m_emblem->setAccessibleDescription(QString::fromUtf8("Емблема виробника"));

    m_webLabel = new TsWebLabel(this);
    m_webLabel->setObjectName(QStringLiteral("sWebLabel1"));
    m_webLabel->setText(QString::fromUtf8(kAboutAddress));
    m_webLabel->setAlignment(Qt::AlignCenter);
    // Centred on the design box (29, 119, 91 x 13), widened to whatever the font needs.
    const int width = qMax(91, m_webLabel->sizeHint().width());
    m_webLabel->setGeometry(29 + 91 / 2 - width / 2, 119, width, 13);
    m_webLabel->setAccessibleName(QString::fromUtf8(kAboutAddress));
    m_webLabel->setAccessibleDescription(QString::fromUtf8("Відкрити сайт у браузері"));
    connect(m_webLabel, &TsLabel::clicked, this, &TFormHelp::sWebLabel1Click);

    m_button1 = new QPushButton(QString::fromUtf8("ОК"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setGeometry(35, 145, 81, 33);
    m_button1->setAutoDefault(false);
    m_button1->setDefault(false);
    m_button1->setProperty("skinSection", QStringLiteral("BUTTON_HUGE"));
    m_button1->setAccessibleName(QString::fromUtf8("ОК"));
    m_button1->setAccessibleDescription(QString::fromUtf8("Закрити вікно"));
    connect(m_button1, &QPushButton::clicked, this, &TFormHelp::Button1Click);
    setFocusProxy(m_button1);

    // Key preview: F1 closes the window whatever has the focus.
    qApp->installEventFilter(this);
}

void TFormHelp::ShowWindow() {
    if (TsSkinManager* skin = TsSkinManager::Active()) {
        skin->CancelFade(this);  // shown again while it was fading out
    }
    if (!m_placed) {
        move(kDesignPosition);
        m_placed = true;
    }
    show();
    raise();
    activateWindow();
    m_button1->setFocus();
}

bool TFormHelp::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this &&
        (watched == QApplication::focusWidget() ||
         (QApplication::focusWidget() == nullptr && watched == this))) {
        const auto& key = *static_cast<QKeyEvent*>(event);
        FormKeyDown(key.key());
        // The only focusable control is "ОК", and a focused button answers Enter.
        if (watched == m_button1 && m_button1->isEnabled() &&
            PressesFocusedButton(VirtualKeyOf(key))) {
            m_button1->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFormHelp::HideWindow() {
    HideAnimated(this);
}

void TFormHelp::keyPressEvent(QKeyEvent* event) {
    // Escape and the rest do nothing here; the key goes on unchanged.
    QWidget::keyPressEvent(event);
}

void TFormHelp::FormKeyDown(int qtKey) {
    if (qtKey == Qt::Key_F1) {
        m_controller.FormKeyDown(kKeyF1);
    }
}

void TFormHelp::closeEvent(QCloseEvent* event) {
    event->ignore();
    m_controller.FormClose();
}

void TFormHelp::Button1Click() {
    m_controller.Button1Click();
}

void TFormHelp::sWebLabel1Click() {
    m_controller.sWebLabel1Click();
}

}  // namespace velor::ui
