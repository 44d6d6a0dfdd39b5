#pragma once
// The skin manager: holds the built-in skins, applies the one named by SkinName to the whole
// application, and shows every top-level window with a short fade (70 ms for windows, 50 ms for
// dialogs and message boxes).

#include <QObject>
#include <QString>
#include <QStringList>

#include "ui/skin/Palette.h"

namespace velor::ui {

inline constexpr int kWindowAnimationMs = 70;
inline constexpr int kDialogAnimationMs = 50;

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

    // Whether newly shown windows fade in; off for screenshots and tests that grab at once.
    void SetAnimated(bool animated) { m_animated = animated; }

  signals:
    void SkinChanged();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QString m_skinName;
    bool m_animated = true;
};

}  // namespace velor::ui
