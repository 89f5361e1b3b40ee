// liftdrive-icotopng <icon.ico> <output folder> <size>...
// Writes <output folder>/<size>x<size>/apps/liftdrive.png for each size, the layout of
// a desktop icon theme. The image of that size inside the icon is taken as it is; a
// missing size is scaled down from the largest image, so the theme always gets every
// size it is promised.
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        err << "usage: liftdrive-icotopng <icon.ico> <output folder> <size>...\n";
        return 2;
    }

    QList<QImage> images;
    QImageReader reader(args[1]);
    const int count = reader.imageCount() > 0 ? reader.imageCount() : 1;
    for (int k = 0; k < count; ++k) {
        if (k > 0 && !reader.jumpToImage(k))
            break;
        const QImage image = reader.read();
        if (!image.isNull())
            images.append(image);
    }
    if (images.isEmpty()) {
        err << args[1] << ": " << reader.errorString() << "\n";
        return 1;
    }
    QImage largest = images.first();
    for (const QImage& image : images)
        if (image.width() > largest.width())
            largest = image;

    for (qsizetype a = 3; a < args.size(); ++a) {
        bool ok = false;
        const int size = args[a].toInt(&ok);
        if (!ok || size <= 0) {
            err << "not a size: " << args[a] << "\n";
            return 2;
        }
        QImage chosen;
        for (const QImage& image : images)
            if (image.width() == size && image.height() == size)
                chosen = image;
        if (chosen.isNull())
            chosen = largest.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args[2]).arg(size);
        const QString path = folder + QStringLiteral("/liftdrive.png");
        if (!QDir().mkpath(folder) || !chosen.save(path, "PNG")) {
            err << "cannot write " << path << "\n";
            return 1;
        }
    }
    return 0;
}
