#pragma once

#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QString>

namespace velor::ui {

// The pictures are PNGs in the resources. Qt's format detection asks every image plugin whether
// it reads the file, loading them all (a tenth of the start-up); the format is known, so say so.
inline QPixmap SkinPicture(const char* resourcePath) {
    QImageReader reader(QString::fromLatin1(resourcePath), "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

inline QIcon SkinIcon(const char* resourcePath) {
    return QIcon(SkinPicture(resourcePath));
}

}  // namespace velor::ui
