// The desktop program's start-up (title, main window with FormCreate and the embedded firmware
// load, shown centred, About window), ending at the first turn of the event loop.

#include <QApplication>
#include <QTimer>

#include "ui/qt/DesktopProgram.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    velor::ui::TDesktopProgram program({.Sound = false, .Animated = false});
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
