#include "ui/qt/skin/TsSkinManager.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPropertyAnimation>
#include <QWidget>
#include <array>

#include "ui/qt/skin/Accessibility.h"
#include "ui/qt/skin/SkinPalette.h"
#include "ui/qt/skin/SkinStyle.h"

namespace velor::ui {

namespace {

struct BuiltInSkin {
    const char* Name;
    SkinColors Colors;
};

const std::array<BuiltInSkin, 2>& BuiltInSkins() {
    static const std::array<BuiltInSkin, 2> skins = {{
        {"Velor Light",
         {QColor(0xf3, 0xf5, 0xf8), QColor(0xff, 0xff, 0xff), QColor(0xd5, 0xdb, 0xe3),
          QColor(0x1c, 0x27, 0x36), QColor(0x5b, 0x67, 0x78), QColor(0x1f, 0x6f, 0xeb),
          QColor(0x3b, 0x82, 0xf0), QColor(0x13, 0x4f, 0xb0), QColor(0xe3, 0xe8, 0xef),
          QColor(0xa8, 0xb1, 0xbd)}},
        {"Velor Dark",
         {QColor(0x1e, 0x23, 0x2b), QColor(0x27, 0x2e, 0x38), QColor(0x3a, 0x43, 0x50),
          QColor(0xe6, 0xea, 0xf0), QColor(0xa3, 0xad, 0xba), QColor(0x3b, 0x82, 0xf6),
          QColor(0x5b, 0x97, 0xf7), QColor(0x25, 0x63, 0xd0), QColor(0x34, 0x3c, 0x48),
          QColor(0x6b, 0x75, 0x82)}},
    }};
    return skins;
}

TsSkinManager* g_active = nullptr;  // the one manager of the application

const char* const kFadeName = "skinFade";

WindowKind KindOf(const QWidget* window) {
    return qobject_cast<const QDialog*>(window) != nullptr || window->windowType() == Qt::Dialog
               ? WindowKind::Dialog
               : WindowKind::Window;
}

// Ends the fades running on the window; their `finished` handlers do not run.
void StopFades(QWidget* window) {
    for (auto* running : window->findChildren<QPropertyAnimation*>(QLatin1String(kFadeName),
                                                                   Qt::FindDirectChildrenOnly)) {
        running->stop();
        running->deleteLater();
    }
}

// Starts a fade of the window's opacity, ending any fade still running on it.
QPropertyAnimation* StartFade(QWidget* window, double from, double to) {
    StopFades(window);
    auto* fade = new QPropertyAnimation(window, "windowOpacity", window);
    fade->setObjectName(QLatin1String(kFadeName));
    fade->setDuration(AnimationMs(KindOf(window)));
    fade->setStartValue(from);
    fade->setEndValue(to);
    fade->start(QAbstractAnimation::DeleteWhenStopped);
    return fade;
}

const BuiltInSkin* FindSkin(const QString& name) {
    for (const BuiltInSkin& skin : BuiltInSkins()) {
        if (name == QLatin1String(skin.Name)) {
            return &skin;
        }
    }
    return nullptr;
}

}  // namespace

TsSkinManager::TsSkinManager(QObject* parent) : QObject(parent) {
    g_active = this;
    qApp->installEventFilter(this);
    InstallSkinAccessibility();
    SetSkinName(QString::fromLatin1(kDefaultSkin));
}

TsSkinManager::~TsSkinManager() {
    if (g_active == this) {
        g_active = nullptr;
    }
    RemoveSkinAccessibility();
    if (qApp) {
        qApp->removeEventFilter(this);
    }
}

QStringList TsSkinManager::SkinNames() const {
    QStringList names;
    for (const BuiltInSkin& skin : BuiltInSkins()) {
        names << QString::fromLatin1(skin.Name);
    }
    return names;
}

bool TsSkinManager::SetSkinName(const QString& name) {
    const BuiltInSkin* skin = FindSkin(name);
    if (skin == nullptr) {
        return false;
    }
    if (m_skinName != name) {
        m_skinName = name;
        Apply(skin->Colors);
        emit SkinChanged();
    }
    return true;
}

// The style and font are set once; a later skin only recolours the style and the palette, whose
// change repaints every widget without polishing any again. (Asking the application for its style
// instead would build the default one first.)
void TsSkinManager::Apply(const SkinColors& colors) {
    if (m_style) {
        m_style->SetColors(colors);
    } else {
        QApplication::setFont(SkinFont());
        m_style = new SkinStyle(colors);
        QApplication::setStyle(m_style);
    }
    QApplication::setPalette(SkinPalette(colors));
}

const SkinColors& TsSkinManager::Colors() const {
    return FindSkin(m_skinName)->Colors;
}

TsSkinManager* TsSkinManager::Active() {
    return g_active;
}

void TsSkinManager::FadeOut(QWidget* window, std::function<void()> then) {
    if (!m_animated || window == nullptr || !window->isVisible()) {
        then();
        return;
    }
    QPropertyAnimation* fade = StartFade(window, window->windowOpacity(), 0.0);
    connect(fade, &QPropertyAnimation::finished, window, [window, then = std::move(then)] {
        then();
        if (window->isHidden()) {
            window->setWindowOpacity(1.0);  // ready to be shown again; never while still seen
        }
    });
}

void TsSkinManager::CancelFade(QWidget* window) {
    StopFades(window);
    window->setWindowOpacity(1.0);
}

void HideAnimated(QWidget* window) {
    TsSkinManager* skin = TsSkinManager::Active();
    if (skin == nullptr) {
        window->hide();
        return;
    }
    skin->FadeOut(window, [window] { window->hide(); });
}

bool TsSkinManager::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        // The window type, not a flag test: Qt::Popup shares its bit with every window.
        if (widget->isWindow() && widget->windowType() != Qt::Popup &&
            widget->windowType() != Qt::ToolTip) {
            if (m_animated) {
                StartFade(widget, 0.0, 1.0);
            } else if (widget->windowOpacity() < 1.0) {
                widget->setWindowOpacity(1.0);  // left faded out while animations were on
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace velor::ui
