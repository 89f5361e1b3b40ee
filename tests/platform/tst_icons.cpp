// The pictures the generator writes beside the program: each loads, holds every size
// the program asks for (icons: sharp small sizes, not one image Qt must scale), and
// has something drawn at each.
#include "support/DataFiles.h"

#include <QImageReader>
#include <QSet>
#include <QTest>

class TestIcons : public QObject {
    Q_OBJECT

private slots:
    void shipped_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<QSize>>("sizes");
        const QList<QSize> icon{{16, 16}, {32, 32}, {64, 64}};
        for (const char* name : {"open.ico", "floppy.ico", "connection.ico", "chip_out.ico",
                                 "chip_in.ico", "orvan_logo.ico", "selvik_logo.ico"})
            QTest::newRow(name) << QString(name) << icon;
        for (const char* name : {"orvan_kck.bmp", "Selvik-logo.jpg"})
            QTest::newRow(name) << QString(name) << QList<QSize>{{200, 60}};
        for (const char* name : {"quvera.jpg", "lomtix.jpg"})
            QTest::newRow(name) << QString(name) << QList<QSize>{{240, 180}};
    }
    void shipped() {
        QFETCH(QString, name);
        QFETCH(QList<QSize>, sizes);
        QImageReader reader(binFolder() + "/icons/" + name);
        QList<QSize> drawn; // sizes with visible pixels of more than one colour
        for (int i = 0; i < std::max(1, reader.imageCount()); ++i) {
            reader.jumpToImage(i);
            const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
            QSet<QRgb> colours;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qAlpha(image.pixel(x, y)) > 0)
                        colours.insert(image.pixel(x, y));
            if (colours.size() > 1)
                drawn << image.size();
        }
        for (const QSize& size : sizes)
            QVERIFY2(drawn.contains(size), qPrintable(reader.errorString()));
    }
};

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
