// The yardstick: a Qt Widgets program that shows one empty window of the main window's size and
// ends at the first turn of its event loop.

#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(329, 127);
    window.setWindowTitle(QStringLiteral("bare"));
    window.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
