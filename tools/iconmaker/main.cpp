// liftdrive-iconmaker <output folder> [--sheet <contact sheet.png>]
// Draws every picture the program shows and writes them into the folder; each
// multi-size icon is read back through Qt to prove every size loads.
#include "Artwork.h"
#include "IcoFile.h"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QPainter>
#include <QTextStream>
#include <functional>

namespace {

using Artwork::Brand;
using Artwork::Tool;

struct IconFile {
    QString name;
    QList<int> sizes;
    std::function<QImage(int)> draw;
};

const QList<int> kToolSizes{16, 24, 32, 48, 64};
const QList<int> kWindowSizes{16, 32, 48, 64, 128, 256};

QList<IconFile> iconFiles() {
    auto tool = [](Tool t) { return [t](int size) { return Artwork::toolIcon(t, size); }; };
    auto window = [](Brand b) { return [b](int size) { return Artwork::windowIcon(b, size); }; };
    return {
        {QStringLiteral("open.ico"), kToolSizes, tool(Tool::Open)},
        {QStringLiteral("floppy.ico"), kToolSizes, tool(Tool::Save)},
        {QStringLiteral("connection.ico"), kToolSizes, tool(Tool::Connection)},
        {QStringLiteral("chip_out.ico"), kToolSizes, tool(Tool::ChipOut)},
        {QStringLiteral("chip_in.ico"), kToolSizes, tool(Tool::ChipIn)},
        {QStringLiteral("orvan_logo.ico"), kWindowSizes, window(Brand::Orvan)},
        {QStringLiteral("selvik_logo.ico"), kWindowSizes, window(Brand::Selvik)},
    };
}

// Every size written must come back through Qt's own readers.
QString checkIcon(const QString& path, const QList<int>& sizes) {
    QImageReader reader(path);
    if (reader.imageCount() != sizes.size())
        return QStringLiteral("%1: %2 images read back, %3 written")
            .arg(path)
            .arg(reader.imageCount())
            .arg(sizes.size());
    const QList<QSize> offered = QIcon(path).availableSizes();
    for (int size : sizes) {
        if (!offered.contains(QSize(size, size)))
            return QStringLiteral("%1: QIcon does not offer %2 px").arg(path).arg(size);
    }
    return {};
}

QString saveImage(const QImage& image, const QString& path, const char* format, int quality) {
    // BMP and JPEG carry no transparency: flatten onto white first.
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, image);
    if (!flat.save(path, format, quality))
        return QStringLiteral("%1: could not be written").arg(path);
    return {};
}

// Every picture at its sizes, each shown at 1x and doubled pixel for pixel.
void writeSheet(const QString& folder, const QString& sheetPath) {
    QImage sheet(1000, 1300, QImage::Format_ARGB32);
    sheet.fill(QColor(0xF0, 0xF0, 0xF0));
    QPainter p(&sheet);
    p.setPen(Qt::black);
    int y = 10;
    for (const IconFile& icon : iconFiles()) {
        QImageReader reader(QDir(folder).filePath(icon.name));
        int x = 10;
        int rowHeight = 0;
        p.drawText(x, y + 12, icon.name);
        x += 110;
        for (int i = 0; i < reader.imageCount(); ++i) {
            reader.jumpToImage(i);
            const QImage image = reader.read();
            const int side = image.width();
            if (side > 64) {
                if (side == 128) {
                    p.drawImage(x, y, image);
                    x += side + 8;
                }
                continue;
            }
            p.drawImage(x, y, image);
            p.drawImage(QRect(x + side + 4, y, 2 * side, 2 * side), image);
            x += 3 * side + 14;
            rowHeight = std::max(rowHeight, 2 * side);
        }
        // Dark background check for the small sizes.
        p.fillRect(x, y, 96, 40, QColor(0x30, 0x30, 0x30));
        reader.jumpToImage(0);
        p.drawImage(x + 4, y + 4, reader.read());
        if (reader.imageCount() > 2) {
            reader.jumpToImage(2);
            p.drawImage(x + 28, y + 4, reader.read());
        }
        y += rowHeight + 10;
    }
    p.end();
    sheet.save(sheetPath);

    // Logos and product pictures at 1x and 2x.
    QImage pictures(1000, 640, QImage::Format_ARGB32);
    pictures.fill(QColor(0xF0, 0xF0, 0xF0));
    QPainter q(&pictures);
    int x = 10;
    for (const QString& name :
         {QStringLiteral("orvan_kck.bmp"), QStringLiteral("Selvik-logo.jpg")}) {
        const QImage image(QDir(folder).filePath(name));
        q.drawImage(x, 10, image);
        q.drawImage(QRect(x, 80, 2 * image.width(), 2 * image.height()), image);
        x += 2 * image.width() + 20;
    }
    // Both product pictures at 1x, then each at 2x.
    const QImage quvera(QDir(folder).filePath(QStringLiteral("quvera.jpg")));
    const QImage lomtix(QDir(folder).filePath(QStringLiteral("lomtix.jpg")));
    q.drawImage(10, 220, quvera);
    q.drawImage(10, 410, lomtix);
    q.drawImage(QRect(260, 220, 480, 360), lomtix);
    q.drawImage(QRect(750, 220, 240, 180), quvera.copy(0, 0, 120, 90));
    q.end();
    pictures.save(
        QString(sheetPath).replace(QLatin1String(".png"), QLatin1String("-pictures.png")));

    // The small sizes enlarged four times, to judge them pixel by pixel.
    QImage zoom(4 * (16 + 24 + 32 + 12), 7 * (4 * 32 + 8), QImage::Format_ARGB32);
    zoom.fill(QColor(0xF0, 0xF0, 0xF0));
    QPainter z(&zoom);
    int row = 0;
    for (const IconFile& icon : iconFiles()) {
        QImageReader reader(QDir(folder).filePath(icon.name));
        int zx = 0;
        for (int i = 0; i < reader.imageCount(); ++i) {
            reader.jumpToImage(i);
            const QImage image = reader.read();
            if (image.width() > 32)
                continue;
            z.drawImage(QRect(zx, row * (4 * 32 + 8), 4 * image.width(), 4 * image.height()),
                        image);
            zx += 4 * image.width() + 16;
        }
        ++row;
    }
    z.end();
    zoom.save(QString(sheetPath).replace(QLatin1String(".png"), QLatin1String("-zoom.png")));
}

} // namespace

int main(int argc, char* argv[]) {
    // Drawing needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2 && !(args.size() == 4 && args[2] == QLatin1String("--sheet"))) {
        err << "usage: liftdrive-iconmaker <output folder> [--sheet <file.png>]\n";
        return 2;
    }
    const QDir out(args[1]);
    if (!out.mkpath(QStringLiteral("."))) {
        err << "cannot create " << args[1] << "\n";
        return 1;
    }

    QStringList problems;
    for (const IconFile& icon : iconFiles()) {
        QList<QImage> images;
        for (int size : icon.sizes)
            images.append(icon.draw(size));
        const QString path = out.filePath(icon.name);
        QString problem = IcoFile::write(path, images);
        if (problem.isEmpty())
            problem = checkIcon(path, icon.sizes);
        if (!problem.isEmpty())
            problems.append(problem);
    }
    const struct {
        QString name;
        QImage image;
        const char* format;
    } pictures[] = {
        {QStringLiteral("orvan_kck.bmp"), Artwork::logo(Brand::Orvan), "BMP"},
        {QStringLiteral("Selvik-logo.jpg"), Artwork::logo(Brand::Selvik), "JPG"},
        {QStringLiteral("quvera.jpg"), Artwork::productPicture(Brand::Orvan), "JPG"},
        {QStringLiteral("lomtix.jpg"), Artwork::productPicture(Brand::Selvik), "JPG"},
    };
    for (const auto& picture : pictures) {
        const QString problem =
            saveImage(picture.image, out.filePath(picture.name), picture.format, 92);
        if (!problem.isEmpty())
            problems.append(problem);
    }

    for (const QString& problem : problems)
        err << problem << "\n";
    if (problems.isEmpty() && args.size() == 4)
        writeSheet(out.path(), args[3]);
    return problems.isEmpty() ? 0 : 1;
}
