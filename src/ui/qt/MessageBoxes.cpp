#include "ui/qt/MessageBoxes.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

#include "ui/qt/skin/TsSkinManager.h"

namespace velor::ui {

namespace {

// A box that fades out as it fades in. Qt hides a box right after its button's signal (or its
// close event) from code that cannot be deferred, so the fade runs there, in a short local loop.
class TsMessageBox : public QMessageBox {
  public:
    TsMessageBox() {
        connect(this, &QMessageBox::buttonClicked, this, [this] { FadeOut(); });
    }

  protected:
    void closeEvent(QCloseEvent* event) override {
        FadeOut();
        QMessageBox::closeEvent(event);
    }

  private:
    void FadeOut() {
        TsSkinManager* skin = TsSkinManager::Active();
        if (m_fading || skin == nullptr || !skin->Animated() || !isVisible()) {
            return;
        }
        m_fading = true;
        QEventLoop fading;
        skin->FadeOut(this, [&fading] { fading.quit(); });
        fading.exec(QEventLoop::ExcludeUserInputEvents);
        m_fading = false;
    }

    bool m_fading = false;
};

std::unique_ptr<QMessageBox> MakeBox(QMessageBox::Icon icon, const QString& title,
                                     const QString& text) {
    std::unique_ptr<QMessageBox> box = std::make_unique<TsMessageBox>();
    box->setIcon(icon);
    box->setWindowTitle(title);
    box->setText(text);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::ApplicationModal);
    QPushButton* ok = box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box->setDefaultButton(ok);
    box->setEscapeButton(ok);
    box->setAccessibleName(title);
    box->setAccessibleDescription(text);
    return box;
}

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(const QString& title, const QString& text) {
    return MakeBox(QMessageBox::NoIcon, title, text);
}

std::unique_ptr<QMessageBox> MakeErrorBox(const QString& title, const QString& text) {
    return MakeBox(QMessageBox::Critical, title, text);
}

void ExecCentred(QMessageBox& box) {
    box.adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = box.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        box.move(frame.topLeft());
    }
    box.exec();
}

}  // namespace velor::ui
