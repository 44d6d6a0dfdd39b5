// velor-bench-window-write PORT: the desktop program's write from "Прошити" into the device behind
// PORT (offered in the port list through VELOR_EXTRA_PORTS), each message box answered as it
// shows. Prints the seconds from the click to the first box after it and that box's text.

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

#include "ui/qt/DesktopProgram.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: velor-bench-window-write PORT\n");
        return 2;
    }
    qputenv("VELOR_EXTRA_PORTS", argv[1]);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    velor::ui::TDesktopProgram program({.Sound = false, .Animated = false});
    auto* ports = program.MainForm().findChild<QComboBox*>(QStringLiteral("cbPort"));
    auto* write = program.MainForm().findChild<QToolButton*>(QStringLiteral("ButtonWrite"));
    const int index = ports != nullptr ? ports->findText(QString::fromLocal8Bit(argv[1])) : -1;
    if (index < 0 || write == nullptr) {
        std::fprintf(stderr, "velor-bench-window-write: %s is not in the port list\n", argv[1]);
        return 1;
    }
    ports->setCurrentIndex(index);
    emit ports->activated(index);

    QElapsedTimer clock;
    double seconds = -1;
    QString text;
    // The boxes run their own loops inside the write's handler: a timer answers them.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        if (seconds < 0 && clock.isValid()) {
            seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
            text = box->text();
        }
        box->accept();
    });
    answer.start(5);
    QTimer::singleShot(0, [&] {
        clock.start();
        write->click();  // returns when the write's handler has ended
        QTimer::singleShot(200, &app, &QCoreApplication::quit);
    });
    app.exec();
    std::printf("write took %.3f s: %s\n", seconds, text.simplified().toUtf8().constData());
    return seconds >= 0 && text.contains(QStringLiteral("успішно")) ? 0 : 1;
}
