// Starts the desktop program's windows as velor-bootloader does, then saves PNGs of the normal
// layout, the service layout and the About window into the folder given as the only argument.
// scripts/screenshots.sh runs it under Xvfb.

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

#include "ui/qt/DesktopProgram.h"

namespace {

bool Save(QWidget& window, const QString& folder, const char* name) {
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(QString::fromLatin1(name));
    const bool ok = window.grab().save(path, "PNG");
    std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "saved" : "cannot write", qPrintable(path));
    return ok;
}

void PressKey(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = window.focusWidget() ? window.focusWidget() : &window;
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(target, &release);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: velor-screenshots FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    velor::ui::TDesktopProgram program({.Sound = false, .Animated = false});
    velor::ui::TMainForm& MainForm = program.MainForm();
    velor::ui::TFormHelp& FormHelp = program.FormHelp();

    int failures = 0;
    QTimer::singleShot(300, [&] {
        failures += !Save(MainForm, folder, "main-window.png");
        PressKey(MainForm, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
        QTimer::singleShot(300, [&] {
            failures += !Save(MainForm, folder, "service-layout.png");
            PressKey(MainForm, Qt::Key_F1, Qt::NoModifier);
            QTimer::singleShot(300, [&] {
                failures += !Save(FormHelp, folder, "about-window.png");
                QApplication::exit(failures == 0 ? 0 : 1);
            });
        });
    });
    return app.exec();
}
