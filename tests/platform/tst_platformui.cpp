// The canvas read back from its pixels: user units, the drawing operations,
// exclusive-or drawing and mouse positions in plot units.
#include "platform/Canvas.h"
#include "support/Pixels.h"

#include <QSignalSpy>
#include <QTest>

class TestPlatformUi : public QObject {
    Q_OBJECT

private slots:
    void drawing() {
        // 200 × 100 pixels showing 20 × 10 plot units: 10 pixels per unit.
        Canvas c;
        c.resize(200, 100);
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        c.setBackground(Qt::black);
        c.setScale(20.0, 10.0);
        c.clear();
        c.fillBox(2.5, 1.0, 0.0, 6.0, QColor(40, 40, 40)); // whole pixels, any corner order
        QCOMPARE(pixelsOf(c.image(), QColor(40, 40, 40)), 25 * 50);
        const QImage box = c.image();
        // Exclusive-or: the same line twice leaves the picture as it was.
        c.setXorMode(true);
        c.line(1.0, 0.0, 1.0, 10.0, QColor(215, 215, 215));
        QCOMPARE(c.pixelColor(10, 20), QColor(255, 255, 255)); // 40 ^ 215
        QCOMPARE(c.pixelColor(10, 80), QColor(215, 215, 215)); // 0 ^ 215
        c.line(1.0, 0.0, 1.0, 10.0, QColor(215, 215, 215));
        c.setXorMode(false);
        QCOMPARE(c.image(), box);
        // Points in order, each in its own colour: the later one covers the earlier.
        c.setLineWidth(2);
        c.points({QPointF(10.0, 5.0), QPointF(10.05, 5.05)}, QList<QRgb>{0xff0000u, 0x00ff00u});
        QCOMPARE(pixelsOf(c.image(), Qt::green), 4);
        QCOMPARE(pixelsOf(c.image(), Qt::red), 0);
        QCOMPARE(c.pixelColor(99, 49), QColor(Qt::green));
        c.point(1e12, -1e12, Qt::white); // far outside: nothing, and no overflow
        QCOMPARE(pixelsOf(c.image(), Qt::white), 0);
        c.setScale(0.0, -1.0); // no extent: ignored
        // The mouse in plot units.
        QSignalSpy pressed(&c, &Canvas::mousePressed);
        QTest::mousePress(&c, Qt::RightButton, {}, QPoint(30, 70));
        QCOMPARE(pressed.size(), 1);
        QCOMPARE(pressed[0][0].value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(pressed[0][1].toPointF(), QPointF(3.0, 7.0));
    }
};

QTEST_MAIN(TestPlatformUi)
#include "tst_platformui.moc"
