// The canvas read back from its pixels: user units, the drawing operations, line
// styles, exclusive-or drawing and mouse positions in plot units.
#include "platform/Canvas.h"

#include <QSignalSpy>
#include <QTest>

namespace {

int count(const QImage& image, QColor color) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == color;
    return n;
}

} // namespace

class TestCanvas : public QObject {
    Q_OBJECT

private:
    // 200 × 100 pixels showing 20 × 10 plot units: 10 pixels per unit.
    void prepare(Canvas& c) {
        c.resize(200, 100);
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        QCOMPARE(c.image().size(), QSize(200, 100));
        c.setBackground(Qt::black);
        c.setScale(20.0, 10.0);
        c.clear();
    }

private slots:
    void userUnits() {
        Canvas c;
        prepare(c);
        c.line(5.0, 0.0, 5.0, 10.0, Qt::red);
        QCOMPARE(c.pixelColor(50, 40), QColor(Qt::red));
        QCOMPARE(count(c.image(), Qt::red), 100); // one column, top to bottom
        c.fillBox(2.5, 1.0, 0.0, 6.0, Qt::green);
        QCOMPARE(count(c.image(), Qt::green), 25 * 50);
        QCOMPARE(c.pixelColor(24, 59), QColor(Qt::green));
        QCOMPARE(c.pixelColor(25, 59), QColor(Qt::black));
        c.setScale(0.0, -1.0); // no extent: ignored
        QCOMPARE(c.scaleWidth(), 20.0);
        QCOMPARE(c.toPlot(QPointF(100, 50)), QPointF(10.0, 5.0));
    }

    void points() {
        Canvas c;
        prepare(c);
        c.setLineWidth(2);
        // Points in order, each in its own colour: the later one covers the earlier.
        c.points({QPointF(10.0, 5.0), QPointF(10.05, 5.05)}, QList<QRgb>{0xff0000u, 0x00ff00u});
        QCOMPARE(count(c.image(), Qt::green), 4);
        QCOMPARE(count(c.image(), Qt::red), 0);
        QCOMPARE(c.pixelColor(99, 49), QColor(Qt::green));
        QCOMPARE(c.pixelColor(100, 50), QColor(Qt::green));
        c.point(1e12, -1e12, Qt::white); // far outside: nothing, and no overflow
        c.points({QPointF(0.0, 0.0)}, Qt::white);
        QCOMPARE(count(c.image(), Qt::white), 1); // clipped to the picture
    }

    void lineStyles_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<QList<int>>("dashes"); // lengths of the drawn runs
        QTest::newRow("solid") << int(Canvas::LineStyle::Solid) << QList<int>{200};
        QTest::newRow("dotted") << int(Canvas::LineStyle::Dotted) << QList<int>{3};
        QTest::newRow("dash-dot") << int(Canvas::LineStyle::DashDot) << QList<int>{3, 9};
    }
    void lineStyles() {
        QFETCH(int, style);
        QFETCH(QList<int>, dashes);
        Canvas c;
        prepare(c);
        c.setLineStyle(Canvas::LineStyle(style));
        c.line(0.0, 5.0, 20.0, 5.0, Qt::white);
        QList<int> runs;
        int run = 0;
        for (int x = 0; x <= 200; ++x) {
            if (x < 200 && c.pixelColor(x, 50) == Qt::white) {
                ++run;
            } else if (run > 0) {
                if (x < 200 && !runs.contains(run)) // the last run may be cut short
                    runs.append(run);
                run = 0;
            }
        }
        if (runs.isEmpty())
            runs.append(200);
        std::sort(runs.begin(), runs.end());
        QCOMPARE(runs, dashes);
    }

    void exclusiveOr() {
        Canvas c;
        prepare(c);
        c.fillBox(0.0, 0.0, 20.0, 5.0, QColor(40, 40, 40));
        c.text(12.0, 2.0, QStringLiteral("t"), Qt::white);
        const QImage before = c.image();
        c.setXorMode(true);
        c.line(5.0, 0.0, 5.0, 10.0, QColor(215, 215, 215));
        QCOMPARE(c.pixelColor(50, 10), QColor(255, 255, 255)); // 40 ^ 215
        QCOMPARE(c.pixelColor(50, 80), QColor(215, 215, 215));
        c.line(5.0, 0.0, 5.0, 10.0, QColor(215, 215, 215));
        c.setXorMode(false);
        QCOMPARE(c.image(), before);
    }

    void mouseInPlotUnits() {
        Canvas c;
        prepare(c);
        QSignalSpy pressed(&c, &Canvas::mousePressed);
        QTest::mousePress(&c, Qt::RightButton, {}, QPoint(30, 70));
        QCOMPARE(pressed.size(), 1);
        QCOMPARE(pressed[0][0].value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(pressed[0][1].toPointF(), QPointF(3.0, 7.0));
    }
};

QTEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
