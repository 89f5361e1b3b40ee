// The platform's widgets. The canvas read back from its pixels: user units, the
// drawing operations, line styles, exclusive-or drawing and mouse positions in plot
// units. The real message boxes: a short text must not cut the title.
#include "platform/Canvas.h"
#include "platform/QtPrompts.h"
#include "support/Pixels.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

// 200 × 100 pixels showing 20 × 10 plot units: 10 pixels per unit.
struct Shown {
    Canvas c;
    Shown() {
        c.resize(200, 100);
        c.show();
        if (QTest::qWaitForWindowExposed(&c)) {
            c.setBackground(Qt::black);
            c.setScale(20.0, 10.0);
            c.clear();
        }
    }
};

} // namespace

class TestPlatformUi : public QObject {
    Q_OBJECT

private slots:
    void drawing() {
        Shown s;
        Canvas& c = s.c;
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

    void lineStyles_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<QList<bool>>("drawn"); // at pixels 2, 3, 10 and 16 of the line
        QTest::newRow("solid") << int(Canvas::LineStyle::Solid) << QList<bool>{1, 1, 1, 1};
        QTest::newRow("dotted, 3 on 3 off")
            << int(Canvas::LineStyle::Dotted) << QList<bool>{1, 0, 0, 0};
        QTest::newRow("dash-dot, 9 6 3 6")
            << int(Canvas::LineStyle::DashDot) << QList<bool>{1, 1, 0, 1};
    }
    void lineStyles() {
        QFETCH(int, style);
        QFETCH(QList<bool>, drawn);
        Shown s;
        s.c.setLineStyle(Canvas::LineStyle(style));
        s.c.line(0.0, 5.0, 20.0, 5.0, Qt::white);
        QList<bool> seen;
        for (int x : {2, 3, 10, 16})
            seen.append(s.c.pixelColor(x, 50) == Qt::white);
        QCOMPARE(seen, drawn);
    }

    void wholeTitleFits_data() {
        QTest::addColumn<bool>("question");
        QTest::newRow("message") << false;
        QTest::newRow("question") << true;
    }
    void wholeTitleFits() {
        QFETCH(bool, question);
        const QString title =
            QStringLiteral("ORVAN-Quvera service tool for lift inverters, edition two");
        int width = 0;
        int titleWidth = 0;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            width = box->width();
            titleWidth = QFontMetrics(box->font()).horizontalAdvance(title);
            box->done(QMessageBox::No);
        });
        QtPrompts prompts;
        if (question)
            prompts.confirm(title, QStringLiteral("?"));
        else
            prompts.critical(title, QStringLiteral("Bad Checksum"));
        QVERIFY(titleWidth > 0);
        // Beside the title, the title bar holds its icon and buttons.
        QVERIFY2(width > titleWidth + 100,
                 qPrintable(QString("%1 <= %2").arg(width).arg(titleWidth)));
    }
};

QTEST_MAIN(TestPlatformUi)
#include "tst_platformui.moc"
