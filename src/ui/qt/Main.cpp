#include "ui/qt/Main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QIcon>
#include <QMoveEvent>
#include <QPushButton>
#include <QScreen>
#include <QSocketNotifier>
#include <QToolButton>

#include "mainform/FormEvents.h"
#include "mainform/RunHandler.h"
#include "mainform/ScreenSnap.h"
#include "ui/qt/QtText.h"
#include "ui/qt/skin/ClickLabels.h"
#include "ui/qt/skin/SkinPictures.h"
#include "ui/qt/skin/TsSkinManager.h"

namespace velor::ui {

namespace {

QIcon WindowIcon() {
    QIcon icon;
    icon.addPixmap(SkinPicture(":/ui/icon-32.png"));
    icon.addPixmap(SkinPicture(":/ui/icon-16.png"));
    return icon;
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
    WatchPorts();
}

void TMainForm::WatchPorts() {
    m_portWatch = PortWatch::FromSystem();
    if (m_portWatch->Descriptor() < 0) {
        return;  // Ctrl+R still reads the list
    }
    auto* notifier = new QSocketNotifier(m_portWatch->Descriptor(), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        m_portsChanged = m_portWatch->TakeChanges() || m_portsChanged;
        FollowPortsWhenIdle();
    });
}

void TMainForm::FollowPortsWhenIdle() {
    if (!m_portsChanged || !m_controller.CloseQuery()) {
        return;
    }
    m_portsChanged = false;
    if (m_controller.FollowPortList()) {
        Render();
    }
}

void TMainForm::ShowCentred() {
    const auto centre = [this] {
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    };
    centre();
    show();
    centre();  // the frame is known only now: again with its real size
}

void TMainForm::Run(const std::function<void()>& handler) {
    RunHandler(m_host, handler);
    Render();
    FollowPortsWhenIdle();
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
