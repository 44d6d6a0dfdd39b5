// velor-bootloader: the desktop program. Runs until the main window is closed.

#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "ui/qt/DesktopProgram.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velor-bootloader"));
    QApplication::setQuitOnLastWindowClosed(false);  // the main window's close ends the program
    velor::ui::DesktopOptions options;
    options.TraceFolder = velor::UserTraceFolder([](const char* name) {
        const char* value = std::getenv(name);
        return std::filesystem::path(value != nullptr ? value : "");
    });
    velor::ui::TDesktopProgram program(options);
    return app.exec();
}
