// The shipped pictures: every one the program names is there, loads, and each icon
// offers sharp small sizes rather than one image Qt would have to scale.
#include "support/DataFiles.h"

#include <QDir>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QTest>

namespace {

QString iconPath(const QString& name) {
    return QDir(binFolder()).filePath(QStringLiteral("icons/") + name);
}

// Something drawn: visible pixels of more than one colour.
bool isDrawn(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) > 0)
                colours.insert(line[x]);
        }
    }
    return colours.size() > 1;
}

QImage iconImage(const QString& name, int side) {
    QImageReader reader(iconPath(name));
    for (int i = 0; i < reader.imageCount(); ++i) {
        reader.jumpToImage(i);
        const QImage image = reader.read();
        if (image.size() == QSize(side, side))
            return image;
    }
    return {};
}

} // namespace

class TestIcons : public QObject {
    Q_OBJECT

private slots:
    void iconOffersSmallSizes_data() {
        QTest::addColumn<QString>("name");
        for (const char* name : {"open.ico", "floppy.ico", "connection.ico", "chip_out.ico",
                                 "chip_in.ico", "orvan_logo.ico", "selvik_logo.ico"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void iconOffersSmallSizes() {
        QFETCH(QString, name);
        QVERIFY2(QFileInfo::exists(iconPath(name)), qPrintable(iconPath(name)));
        const QList<QSize> offered = QIcon(iconPath(name)).availableSizes();
        for (int side : {16, 32, 64}) {
            QVERIFY2(offered.contains(QSize(side, side)), qPrintable(QString::number(side)));
            QVERIFY2(isDrawn(iconImage(name, side)), qPrintable(QString::number(side)));
        }
    }

    void pictureLoads_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("ORVAN logo") << QStringLiteral("orvan_kck.bmp") << QSize(200, 60);
        QTest::newRow("SELVIK logo") << QStringLiteral("Selvik-logo.jpg") << QSize(200, 60);
        QTest::newRow("Quvera") << QStringLiteral("quvera.jpg") << QSize(240, 180);
        QTest::newRow("Lomtix") << QStringLiteral("lomtix.jpg") << QSize(240, 180);
    }
    void pictureLoads() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const QImage image(iconPath(name));
        QCOMPARE(image.size(), size);
        QVERIFY(isDrawn(image));
    }

    void editionsLookDifferent() {
        for (int side : {16, 32}) {
            const QImage orvan = iconImage(QStringLiteral("orvan_logo.ico"), side);
            const QImage selvik = iconImage(QStringLiteral("selvik_logo.ico"), side);
            QVERIFY(!orvan.isNull() && !selvik.isNull());
            QVERIFY(orvan != selvik);
        }
    }
};

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
