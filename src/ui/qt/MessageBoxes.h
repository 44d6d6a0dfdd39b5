#pragma once
// The system's two boxes, built the same way for every message.

#include <QMessageBox>
#include <QString>
#include <memory>

namespace velor::ui {

// A message: no icon, one "OK", the application title as caption.
std::unique_ptr<QMessageBox> MakeMessageBox(const QString& title, const QString& text);
// An error that ended a handler: the error icon, one "OK", the application title as caption.
std::unique_ptr<QMessageBox> MakeErrorBox(const QString& title, const QString& text);
// Runs the box modally, centred on the screen.
void ExecCentred(QMessageBox& box);

}  // namespace velor::ui
