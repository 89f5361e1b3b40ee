#include "IcoFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QtEndian>
#include <algorithm>

namespace {

void putLe16(QByteArray& out, quint16 value) {
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void putLe32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

QString IcoFile::write(const QString& path, QList<QImage> images) {
    if (images.isEmpty())
        return QStringLiteral("no images for %1").arg(path);
    std::sort(images.begin(), images.end(),
              [](const QImage& a, const QImage& b) { return a.width() < b.width(); });

    QList<QByteArray> encoded;
    for (const QImage& image : images) {
        if (image.width() != image.height() || image.width() < 1 || image.width() > 256)
            return QStringLiteral("%1: a %2x%3 image cannot be an icon entry")
                .arg(path)
                .arg(image.width())
                .arg(image.height());
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG"))
            return QStringLiteral("%1: PNG encoding failed").arg(path);
        encoded.append(png);
    }

    constexpr int kDirSize = 6;
    constexpr int kEntrySize = 16;
    QByteArray out;
    putLe16(out, 0); // reserved
    putLe16(out, 1); // type: icon
    putLe16(out, quint16(images.size()));
    quint32 offset = quint32(kDirSize + kEntrySize * images.size());
    for (int i = 0; i < images.size(); ++i) {
        const int side = images[i].width();
        // One byte holds the side; 256 is written as 0.
        out.append(char(side == 256 ? 0 : side));
        out.append(char(side == 256 ? 0 : side));
        out.append(char(0)); // no palette
        out.append(char(0)); // reserved
        putLe16(out, 1);     // colour planes
        putLe16(out, 32);    // bits per pixel
        putLe32(out, quint32(encoded[i].size()));
        putLe32(out, offset);
        offset += quint32(encoded[i].size());
    }
    for (const QByteArray& png : encoded)
        out.append(png);

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    if (file.write(out) != out.size())
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    return {};
}
