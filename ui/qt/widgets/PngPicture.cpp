#include "PngPicture.h"

#include <QImageReader>

namespace velk::qt {

QPixmap pngPicture(const QString& path, QSize size) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    if (size.isValid())
        reader.setScaledSize(size);
    return QPixmap::fromImage(reader.read());
}

} // namespace velk::qt
