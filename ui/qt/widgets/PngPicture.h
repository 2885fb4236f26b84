#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

namespace velk::qt {

/// A PNG picture read by Qt's own PNG reader alone, scaled smoothly to `size` when one is
/// given. Left to itself, the image reader loads every image plugin of the system to ask each
/// whether it knows the file: about 250 KB and some milliseconds of the window's start, for
/// pictures whose kind is known.
QPixmap pngPicture(const QString& path, QSize size = {});

} // namespace velk::qt
