#include "ui/qt/QtShell.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QUrl>

namespace velor::ui {

void QtShell::OpenDeviceManager() {
#ifdef _WIN32
    QProcess::startDetached(QStringLiteral("mmc.exe"), {QStringLiteral("devmgmt.msc")});
#else
    // The nearest thing to a device manager: the folder of the serial devices' stable names.
    const QString byId = QStringLiteral("/dev/serial/by-id");
    const QString folder = QDir(byId).exists() ? byId : QStringLiteral("/dev");
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
#endif
}

void QtShell::OpenWebAddress(const std::string& address) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
}

void QtShell::ShowAbout() {
    if (m_showAbout) {
        m_showAbout();
    }
}

}  // namespace velor::ui
