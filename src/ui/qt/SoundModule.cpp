#include "ui/qt/SoundModule.h"

#include <QCoreApplication>

namespace velor::ui {

QStringList DefaultModulePaths(const char* fileName) {
    const QString dir = QCoreApplication::applicationDirPath();
    const QString name = QString::fromLatin1(fileName);
    return {dir + QLatin1Char('/') + name,
            dir + QStringLiteral("/" VELOR_MODULES_INSTALL_RELATIVE "/") + name};
}

}  // namespace velor::ui
