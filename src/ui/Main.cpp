#include "ui/Main.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMoveEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QToolButton>

#include "mainform/KeyboardRules.h"
#include "mainform/FormEvents.h"
#include "mainform/RunHandler.h"
#include "mainform/ScreenSnap.h"
#include "serial/PortDescription.h"
#include "ui/KeyMapping.h"
#include "ui/skin/ClickLabels.h"
#include "ui/skin/TsGaugeWidget.h"
#include "ui/skin/TsProgressBarWidget.h"
#include "ui/skin/TsSkinManager.h"

namespace velor::ui {

namespace {

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}
QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QIcon WindowIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/ui/icon-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/ui/icon-16.png"), QSize(16, 16));
    return icon;
}

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

QPlainTextEdit* MakeMemo(QWidget* parent, const char* name, QRect geometry) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QLatin1String(name));
    memo->setGeometry(geometry);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setUndoRedoEnabled(false);
    // Never seen: it must neither take the focus nor swallow keys.
    memo->setFocusPolicy(Qt::NoFocus);
    memo->setReadOnly(true);
    memo->setTabChangesFocus(true);
    return memo;
}

QString DisplayText(const std::string& text) {
    QString shown = Q(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

// Memos can hold long texts that mostly grow at the end (the flashing log): append what is new
// instead of replacing everything at every turn of the event loop.
void SyncMemo(QPlainTextEdit* memo, std::string& shown, const std::string& text) {
    if (text == shown) {
        return;
    }
    if (!shown.empty() && text.size() > shown.size() && text.starts_with(shown) &&
        shown.back() != '\r') {
        QTextCursor cursor(memo->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(DisplayText(text.substr(shown.size())));
    } else {
        memo->setPlainText(DisplayText(text));
    }
    shown = text;
}

// Device paths are long for the narrow port list: the closed list shows the name under /dev,
// the item's tooltip the whole path. The model keeps the whole path.
QString ShortPortName(const std::string& item) {
    const QString name = Q(item);
    return name.startsWith(QLatin1String("/dev/")) ? name.mid(5) : name;
}

// A port's tooltip: its full name, then what the system knows of it (maker, IDs, serial).
QString PortToolTip(IPortDescriber& describer, const std::string& item) {
    const std::string description = DescriptionText(describer.Describe(item));
    return description.empty() ? Q(item) : Q(item + "\n" + description);
}

void SyncItems(QComboBox* list, std::vector<std::string>& shown, const TListState& state,
               bool ports) {
    const QSignalBlocker block(list);
    if (shown != state.Items) {
        list->clear();
        const auto describer = ports ? MakePlatformPortDescriber() : nullptr;
        for (const std::string& item : state.Items) {
            list->addItem(ports ? ShortPortName(item) : Q(item));
            list->setItemData(list->count() - 1,
                              describer ? PortToolTip(*describer, item) : Q(item), Qt::ToolTipRole);
        }
        shown = state.Items;
        // The open list may be wider than the closed one.
        list->view()->setMinimumWidth(list->view()->sizeHintForColumn(0) + 12);
    }
    if (list->currentIndex() != state.ItemIndex) {
        list->setCurrentIndex(state.ItemIndex);
    }
    list->setEnabled(state.Enabled);
}

}  // namespace

TMainForm::TMainForm(MainWindowModel& model, IHost& host, IShell& shell, MainFormOptions options,
                     QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_model(model),
      m_host(host),
      m_skinManager(new TsSkinManager(this)),
      m_controller(model, host, shell, std::move(options)) {
    setObjectName(QStringLiteral("MainForm"));
    setAttribute(Qt::WA_StyledBackground);
    setWindowIcon(WindowIcon());
    setFixedSize(kClientWidth, kClientHeight);
    m_skinManager->setObjectName(QStringLiteral("sSkinManager1"));
    // The port's event thread only posts here; the hand-over itself runs on this thread.
    m_controller.Dispatcher().SetWakeUp([this] {
        QMetaObject::invokeMethod(
            this, [this] { m_controller.Dispatcher().ServePending(); }, Qt::QueuedConnection);
    });
    BuildControls();
    Bind();
    Render();
}

TMainForm::~TMainForm() {
    qApp->removeEventFilter(this);
    // Hiding the dying window moves the focus; the application must not call back into a
    // window whose members are already gone.
    disconnect(qApp, nullptr, this, nullptr);
}

void TMainForm::BuildControls() {
    // Never seen, first in the focus order as the form has them.
    m_MemoAbout = MakeMemo(this, "MemoAbout", QRect(392, 16, 305, 681));
    m_MemoAbout->setToolTip(Q("Інформація про прилад"));
    m_MemoAbout->setAccessibleName(Q("Інформація про прилад"));
    // TextTerminal, the firmware text, is held by the model alone: it is never seen, and a text
    // control would cost the start-up a copy of every line of it.
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
    m_ButtonWrite->setIcon(QIcon(QStringLiteral(":/ui/write-24.png")));
    m_ButtonWrite->setIconSize(QSize(24, 24));
    m_ButtonWrite->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_ButtonWrite->setFocusPolicy(Qt::StrongFocus);
    m_ButtonWrite->setCursor(Qt::PointingHandCursor);
    m_ButtonWrite->setAccessibleName(Q("Прошити"));
    m_ButtonWrite->setAccessibleDescription(Q("Записати мікропрограму в прилад"));

    m_LabelNameOfHex = new QLabel(this);
    m_LabelNameOfHex->setObjectName(QStringLiteral("LabelNameOfHex"));
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
    m_sButton2->setIcon(QIcon(QStringLiteral(":/ui/web-16.png")));
    m_sButton2->setToolTip(Q("Сайт виробника"));
    m_sButton2->setAccessibleName(Q("Сайт виробника"));
    m_sButton3 = MakeButton(m_sPanel3, "sButton3", QRect(8, 84, 25, 57), "", "DIALOG");
    m_sButton3->setIcon(QIcon(QStringLiteral(":/ui/info-16.png")));
    m_sButton3->setToolTip(Q("Інформація про програму"));
    m_sButton3->setAccessibleName(Q("Інформація про програму"));

    setTabOrder(m_cbPort, m_ButtonWrite);
    setTabOrder(m_ButtonWrite, m_ButtonConect);
    setTabOrder(m_ButtonConect, m_ButtonOpenHex);
    setTabOrder(m_ButtonOpenHex, m_sButton2);
    setTabOrder(m_sButton2, m_sButton3);
    setTabOrder(m_sButton3, m_cbBaudRate);
}

void TMainForm::Bind() {
    qApp->installEventFilter(this);  // key preview
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
    connect(m_cbPort, &QComboBox::activated, this, [this](int index) {
        m_model.cbPort.ItemIndex = index;
        Run([this] { m_controller.cbPortChange(); });
    });
    connect(m_cbBaudRate, &QComboBox::activated, this, [this](int index) {
        m_model.cbBaudRate.ItemIndex = index;
        Run([this] { m_controller.cbBaudRateChange(); });
    });
    connect(m_sComboBoxSkinName, &QComboBox::editTextChanged, this, [this](const QString& text) {
        Run([this, text] { m_skinManager->SetSkinName(text); });
    });
    connect(m_Label1, &TsLabel::clicked, this,
            [this] { Run([this] { m_controller.Label1Click(); }); });
    connect(m_ButtonWrite, &QToolButton::clicked, this,
            [this] { Run([this] { m_controller.ButtonWriteClick(); }); });
    connect(m_ButtonConect, &QPushButton::clicked, this,
            [this] { Run([this] { m_controller.ButtonConectClick(); }); });
    connect(m_ButtonOpenHex, &QPushButton::clicked, this,
            [this] { Run([this] { m_controller.ButtonOpenHexClick(ChooseHexFile()); }); });
    connect(m_sButton2, &QPushButton::clicked, this,
            [this] { Run([this] { m_controller.sButton2Click(); }); });
    connect(m_sButton3, &QPushButton::clicked, this,
            [this] { Run([this] { m_controller.sButton3Click(); }); });
}

void TMainForm::Create() {
    Run([this] { m_controller.FormCreate(); });
    m_created = true;
}

void TMainForm::ShowCentred() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    // The frame is known only now: centre again with its real size.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TMainForm::Run(const std::function<void()>& handler) {
    RunHandler(m_host, handler);
    Render();
}

std::optional<std::string> TMainForm::ChooseHexFile() {
    if (m_chooseFile) {
        return m_chooseFile();
    }
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("OpenDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);  // the named file need not exist
    dialog.setNameFilter(Q(kOpenHexFilterName) + QStringLiteral(" (") + Q(kOpenHexFilterPattern) +
                         QLatin1Char(')'));
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (!m_model.OpenDialogFileName.empty()) {
        const QFileInfo last(Q(m_model.OpenDialogFileName));
        dialog.setDirectory(last.absolutePath());
        dialog.selectFile(last.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst().toStdString();
}

void TMainForm::Render() {
    setWindowTitle(Q(m_model.Caption));

    const QString status = Q(m_model.LabelNameOfHex);
    if (m_LabelNameOfHex->text() != status) {
        m_LabelNameOfHex->setText(status);
        m_LabelNameOfHex->setAccessibleName(status);
        // The status line sizes itself to its text.
        m_LabelNameOfHex->resize(m_LabelNameOfHex->sizeHint().width(), 13);
    }
    const QString calibration = Q(m_model.Label3);
    if (m_Label3->text() != calibration) {
        m_Label3->setText(calibration);
        m_Label3->setAccessibleName(calibration);
        m_Label3->resize(qMax(110, m_Label3->sizeHint().width()), 13);
    }
    m_ProgressbarReadWrite->SetGauge(m_model.ProgressbarReadWrite);
    m_ProgressbarWrite->SetRange(m_model.ProgressbarWrite.Max, m_model.ProgressbarWrite.Position);

    SyncMemo(m_MemoAbout, m_shownMemoAbout, m_model.MemoAbout.Text());

    m_ButtonWrite->setEnabled(m_model.ButtonWrite.Enabled);
    m_ButtonConect->setEnabled(m_model.ButtonConect.Enabled);
    m_ButtonOpenHex->setEnabled(m_model.ButtonOpenHex.Enabled);
    SyncItems(m_cbPort, m_shownPorts, m_model.cbPort, true);
    SyncItems(m_cbBaudRate, m_shownBauds, m_model.cbBaudRate, false);

    QWidget* focus = FocusWidgetOf(m_model.Focus);
    if (focus != nullptr && focusWidget() != focus && focus->isEnabled()) {
        focus->setFocus(Qt::OtherFocusReason);
    }
    if (m_model.ServiceLayout && !m_serviceApplied) {
        ApplyServiceLayout();
    }
}

void TMainForm::ApplyServiceLayout() {
    // The outer height is what is fixed; the client gets what the frame leaves of it.
    const int frameHeight = frameGeometry().height() - geometry().height();
    const QPoint topLeft = pos();
    m_serviceApplied = true;  // first: the resize handler renders again, nested
    setFixedSize(kClientWidth, ServiceClientHeight(frameHeight));
    move(topLeft);
}

QWidget* TMainForm::FocusWidgetOf(FocusTarget target) const {
    switch (target) {
        case FocusTarget::MemoAbout:
            return m_MemoAbout;
        case FocusTarget::cbPort:
            return m_cbPort;
        case FocusTarget::ButtonWrite:
            return m_ButtonWrite;
        case FocusTarget::ButtonConect:
            return m_ButtonConect;
        case FocusTarget::ButtonOpenHex:
            return m_ButtonOpenHex;
        case FocusTarget::sButton2:
            return m_sButton2;
        case FocusTarget::sButton3:
            return m_sButton3;
        case FocusTarget::cbBaudRate:
            return m_cbBaudRate;
    }
    return nullptr;
}

void TMainForm::OnFocusChanged(QWidget* now) {
    // The operator's own focus moves go into the model, so a render never takes them back.
    for (FocusTarget target :
         {FocusTarget::MemoAbout, FocusTarget::cbPort, FocusTarget::ButtonWrite,
          FocusTarget::ButtonConect, FocusTarget::ButtonOpenHex, FocusTarget::sButton2,
          FocusTarget::sButton3, FocusTarget::cbBaudRate}) {
        if (now != nullptr && now == FocusWidgetOf(target)) {
            m_model.Focus = target;
            return;
        }
    }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    // Key preview: the key handler sees the key once, at the focused control, before it does.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        QWidget* focused = QApplication::focusWidget();
        if (widget->window() == this && (widget == focused || (!focused && widget == this))) {
            const auto& key = *static_cast<QKeyEvent*>(event);
            const uint16_t code = VirtualKeyOf(key);
            if (code != 0) {
                const TShiftState shift = ShiftStateOf(key.modifiers());
                Run([this, code, shift] { m_controller.FormKeyDown(code, shift); });
                if (PressFocusedButton(code, focused)) {
                    return true;
                }
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TMainForm::PressFocusedButton(uint16_t key, QWidget* focused) {
    auto* button = qobject_cast<QAbstractButton*>(focused);
    if (!PressesFocusedButton(key) || button == nullptr || button->window() != this ||
        !button->isEnabled() || QApplication::focusWidget() != button) {
        return false;
    }
    button->click();
    return true;
}

bool TMainForm::focusNextPrevChild(bool next) {
    const FocusTarget to =
        NextFocus(m_model.Focus, m_model.ServiceLayout, next, [this](FocusTarget target) {
            const QWidget* widget = FocusWidgetOf(target);
            return widget != nullptr && widget->isEnabled();
        });
    if (QWidget* widget = FocusWidgetOf(to)) {
        widget->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    }
    return true;
}

namespace {
// The window as FormActivate and FormResize see it.
class QtFormSurface final : public IFormSurface {
  public:
    QtFormSurface(QWidget& window, bool created) : m_window(window), m_created(created) {}
    bool Shown() const override { return m_created && m_window.isVisible(); }
    void RepaintNow() override { m_window.repaint(); }

  private:
    QWidget& m_window;
    bool m_created;
};
}  // namespace

void TMainForm::RepaintAndProcess() {
    QtFormSurface surface(*this, m_created);
    FormActivate(surface, m_host);
}

void TMainForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Run([this] { RepaintAndProcess(); });
    }
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Run([this] {
        QtFormSurface surface(*this, m_created);
        FormResize(surface, m_host);
    });
}

void TMainForm::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    const QScreen* monitor = screen();
    if (m_snapping || monitor == nullptr || !isVisible()) {
        return;
    }
    const QRect frame = frameGeometry();
    const QRect area = monitor->availableGeometry();
    const TPoint target = SnapToWorkArea({frame.x(), frame.y(), frame.width(), frame.height()},
                                         {area.x(), area.y(), area.width(), area.height()});
    if (target != TPoint{frame.x(), frame.y()}) {
        m_snapping = true;
        move(target.X, target.Y);
        m_snapping = false;
    }
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!m_controller.CloseQuery()) {
        event->ignore();
        return;
    }
    if (m_skinManager->Animated() && isVisible()) {
        // Faded out like every window; the program ends when it has gone.
        event->ignore();
        m_skinManager->FadeOut(this, [this] {
            if (!m_controller.CloseQuery()) {
                m_skinManager->CancelFade(this);  // an operation began while it faded
                return;
            }
            hide();
            QApplication::quit();
        });
        return;
    }
    QWidget::closeEvent(event);
    // Closing the main window ends the program, the About window with it.
    QApplication::quit();
}

}  // namespace velor::ui
