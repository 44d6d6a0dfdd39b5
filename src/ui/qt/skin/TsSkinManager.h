#pragma once
// The skin manager: holds the built-in skins, applies the one named by SkinName to the whole
// application, and shows and hides top-level windows with a short fade (app/WindowAnimation.h).

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

#include "app/WindowAnimation.h"

#include "ui/qt/skin/Palette.h"

namespace velor::ui {

class SkinStyle;

class TsSkinManager : public QObject {
    Q_OBJECT
  public:
    static constexpr const char* kDefaultSkin = "Velor Light";

    explicit TsSkinManager(QObject* parent = nullptr);
    ~TsSkinManager() override;

    QStringList SkinNames() const;
    QString SkinName() const { return m_skinName; }
    // Switches to the named skin; a name the manager does not hold keeps the current skin.
    // Returns whether the name was one of the built-in skins.
    bool SetSkinName(const QString& name);
    const SkinColors& Colors() const;

    // Whether windows fade in and out; off for screenshots and tests that grab at once.
    void SetAnimated(bool animated) { m_animated = animated; }
    bool Animated() const { return m_animated; }

    // The application's manager, while one exists.
    static TsSkinManager* Active();

    // Fades the visible top-level window out, then runs `then` (which hides it); with animations
    // off, or a window not shown, runs it at once. The window stays as it was meanwhile.
    void FadeOut(QWidget* window, std::function<void()> then);
    // Ends a fade still running on the window (its `then` does not run) and makes it opaque.
    void CancelFade(QWidget* window);

  signals:
    void SkinChanged();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Apply(const SkinColors& colors);

    QString m_skinName;
    bool m_animated = true;
    QPointer<SkinStyle> m_style;  // the application owns it
};

// Hides a top-level window the way the skin shows it: faded while the manager animates.
void HideAnimated(QWidget* window);

}  // namespace velor::ui
