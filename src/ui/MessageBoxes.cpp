#include "ui/MessageBoxes.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace velor::ui {

namespace {

std::unique_ptr<QMessageBox> MakeBox(QMessageBox::Icon icon, const QString& title,
                                     const QString& text) {
    auto box = std::make_unique<QMessageBox>();
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
