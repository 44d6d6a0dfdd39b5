// velor-bootloader: the desktop program. Runs until the main window is closed.

#include <QApplication>

#include "ui/qt/DesktopProgram.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velor-bootloader"));
    QApplication::setQuitOnLastWindowClosed(false);  // the main window's close ends the program
    velor::ui::TDesktopProgram program;
    return app.exec();
}
