#pragma once
// Multi-size Windows icon files. Qt's own icon writer stores one image per file, so the
// container is written here: a directory of entries, each image stored as PNG.
#include <QImage>
#include <QList>
#include <QString>

namespace IcoFile {

// Writes the images (square, at most 256 px) into one .ico file, smallest first.
// Returns an empty string on success, otherwise what went wrong.
QString write(const QString& path, QList<QImage> images);

} // namespace IcoFile
