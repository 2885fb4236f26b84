#include "PngPicture.h"

#include <QImageReader>

namespace velk::qt {

QPixmap pngPicture(const QString& path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

} // namespace velk::qt
