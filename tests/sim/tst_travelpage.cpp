// The travel page with real widgets on the offscreen platform: what the plots show
// (read from their pixels), the cursor, signal editing, the controls and the setter.
#include "params/ParamFiles.h"
#include "sim/TravelParsPanel.h"
#include "support/TravelPageFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Plot = TravelPage::Plot;

int countColor(const QImage& image, QColor color, QRect area = QRect()) {
    if (area.isNull())
        area = image.rect();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixelColor(x, y) == color;
    return count;
}

// Columns in which two pictures differ.
QList<int> changedColumns(const QImage& a, const QImage& b) {
    QList<int> columns;
    for (int x = 0; x < a.width(); ++x)
        for (int y = 0; y < a.height(); ++y)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                columns.append(x);
                break;
            }
    return columns;
}

QPoint pixelAt(const Canvas& c, double x, double y) {
    const QPointF p = c.toPixel(x, y);
    return QPoint(int(p.x()), int(p.y()));
}

} // namespace

class TestTravelPage : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void cursorIsOneLine() {
        TravelPageFixture f;
        QVERIFY(f.exposed);
        f.page->refreshTCursor(1.0f);
        f.page->simulate();
        QCOMPARE(f.page->cursorTime(), -10.0f); // every run takes the cursor away
        std::array<QImage, 4> before;
        for (int p = 0; p < 4; ++p)
            before[p] = f.plot(Plot(p)).image();
        f.page->refreshTCursor(2.3456f);
        f.page->refreshTCursor(2.3456f);
        for (int p = 0; p < 4; ++p) {
            const Canvas& c = f.plot(Plot(p));
            const QList<int> columns = changedColumns(before[p], c.image());
            QCOMPARE(columns.size(), 1);
            QCOMPARE(columns[0], pixelAt(c, 2.3456, 0).x());
        }
        QCOMPARE(f.plot(Plot::VPlot).toolTip(), QStringLiteral("t=2.34 s"));
        // Leaving the plots takes the cursor out of sight and leaves the pictures as
        // they were.
        emit f.page->plot(Plot::APlot)->mouseLeft();
        QCOMPARE(f.page->cursorTime(), -10.0f);
        for (int p = 0; p < 4; ++p)
            QCOMPARE(f.plot(Plot(p)).image(), before[p]);
    }

    void signalEditing() {
        TravelPageFixture f;
        f.window.findChild<QComboBox*>("SimDurationCombo")->setCurrentIndex(1); // 10 s
        QCOMPARE(f.sim.D, 10.0f);
        Canvas* c = f.page->plot(Plot::CPlot);
        const auto lane2 = [&](int from, int to) {
            QList<int> on;
            for (int n = from; n <= to; ++n)
                if (f.sim.signalTable[n][2])
                    on.append(n);
            return on;
        };
        const auto drag = [&](Qt::MouseButton button, double from, double to) {
            emit c->mousePressed(button, QPointF(from, 3.0));
            emit c->mouseMoved(button, QPointF(to, 3.0));
            emit c->mouseReleased(button, QPointF(to, 3.0));
        };
        drag(Qt::LeftButton, 3.004, 3.055);
        QCOMPARE(lane2(290, 320), (QList<int>{300, 301, 302, 303, 304, 305}));
        QCOMPARE(c->pixelColor(pixelAt(*c, 3.03, 3.0).x(), pixelAt(*c, 3.03, 2.6).y()),
                 QColor(0, 0, 255));

        drag(Qt::RightButton, 3.004, 3.055);
        QCOMPARE(lane2(290, 320), QList<int>());
        const QPoint centre = pixelAt(*c, 3.03, 3.0);
        QCOMPARE(c->pixelColor(centre.x(), centre.y()), QColor(0, 0, 255));
        QCOMPARE(c->pixelColor(centre.x(), pixelAt(*c, 3.03, 2.6).y()),
                 TravelPage::signalBackground());

        // Back to the press point: just the press sample.
        emit c->mousePressed(Qt::LeftButton, QPointF(3.004, 3.0));
        emit c->mouseMoved(Qt::LeftButton, QPointF(3.065, 3.0));
        emit c->mouseMoved(Qt::LeftButton, QPointF(3.004, 3.0));
        QCOMPARE(lane2(290, 320), (QList<int>{300, 301, 302, 303, 304, 305, 306}));
        emit c->mouseReleased(Qt::LeftButton, QPointF(3.004, 3.0));
        for (int n = 290; n <= 320; ++n)
            f.sim.signalTable[n][2] = 0;
        drag(Qt::LeftButton, 3.004, 3.004);
        QCOMPARE(lane2(290, 320), QList<int>{300});
        QCOMPARE(f.prompts.texts(), QStringList());
    }

    void laneOnForTheWholeRun() {
        TravelPageFixture f;
        for (int n = 0; n <= 1000; ++n)
            f.sim.signalTable[n][2] = 1;
        f.page->simulate();
        const Canvas& c = f.plot(Plot::CPlot);
        const int top = int(std::lround(c.toPixel(0, 2.5).y()));
        const int bottom = int(std::lround(c.toPixel(0, 3.5).y())) - 1;
        const QImage& image = c.image();
        QCOMPARE(countColor(image, Qt::blue, QRect(0, top, image.width(), bottom - top + 1)),
                 image.width() * (bottom - top + 1));
        QCOMPARE(countColor(image, Qt::blue, QRect(0, top - 1, image.width(), 1)), 0);
        QCOMPARE(countColor(image, Qt::blue, QRect(0, bottom + 1, image.width(), 1)), 0);
    }

    void guideLines_data() {
        QTest::addColumn<bool>("shown");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }
    void guideLines() {
        QFETCH(bool, shown);
        TravelPageFixture f;
        f.window.findChild<QCheckBox*>("ShowScalesCheck")->setChecked(shown);
        for (Plot p : {Plot::APlot, Plot::VPlot}) {
            // Guide lines and their texts are the only green; the grid is grey.
            const QImage& image = f.plot(p).image();
            int green = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    green += c.green() > 0 && c.red() == 0 && c.blue() == 0;
                }
            QCOMPARE(green > 0, shown);
            QVERIFY(countColor(image, QColor(140, 140, 140)) > image.width());
        }
        // The acceleration plot's height follows the larger of PA and NA.
        QCOMPARE(f.plot(Plot::APlot).scaleHeight(), double(2.0f * 1.2f * 0.6f));
    }

    void notInFrontDrawsNothing() {
        TravelPageFixture f;
        f.page->simulate();
        const QImage speed = f.plot(Plot::VPlot).image();
        f.page->setInFront(false);
        f.params.setById(QStringLiteral("V3"), 1.5f);
        QCOMPARE(f.plot(Plot::VPlot).image(), speed);
        f.page->setInFront(true);
        f.page->simulate();
        QVERIFY(f.plot(Plot::VPlot).image() != speed);
    }

    void longestDuration() {
        TravelPageFixture f;
        auto* combo = f.window.findChild<QComboBox*>("SimDurationCombo");
        QCOMPARE(combo->count(), 8);
        combo->setCurrentIndex(7);
        QCOMPARE(combo->currentText(), QStringLiteral("60 s"));
        QCOMPARE(f.sim.D, 60.0f);
        QVERIFY(f.sim.state.t >= 59.999f); // the run went to its end
        const QImage& speed = f.plot(Plot::VPlot).image();
        // The car stands still at the end: its last point lies on the bottom row.
        QCOMPARE(speed.pixelColor(speed.width() - 1, speed.height() - 1), QColor(Qt::white));
    }

    void showHide() {
        TravelPageFixture f;
        QCOMPARE(f.page->shownPlotCount(), short(2)); // the position plot starts hidden
        QVERIFY(f.plot(Plot::XPlot).isHidden());
        auto* a = f.window.findChild<QPushButton*>("CommandShowHideA");
        auto* v = f.window.findChild<QPushButton*>("CommandShowHideV");
        a->click();
        v->click();
        QCOMPARE(f.page->shownPlotCount(), short(0));
        QCOMPARE(a->text(), f.lang.LangText(48));
        a->click();
        QCOMPARE(f.page->shownPlotCount(), short(1));
        QCOMPARE(a->text(), f.lang.LangText(49));
        QVERIFY(!f.plot(Plot::APlot).isHidden());
    }

    void sliders_data() {
        QTest::addColumn<QString>("slider");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("id");
        QTest::addColumn<float>("expected");
        // V3 is set to 0.2 first.
        QTest::newRow("V0 at V3") << "ViSlider0" << 20 << "V0" << 0.19f;
        QTest::newRow("V0 past V3") << "ViSlider0" << 25 << "V0" << 0.19f;
        QTest::newRow("V0 below V3") << "ViSlider0" << 15 << "V0" << 0.15f;
        QTest::newRow("V3 at V0") << "ViSlider3" << 10 << "V3" << 0.11f;
        QTest::newRow("V1 has no rule") << "ViSlider1" << 25 << "V1" << 0.25f;
        QTest::newRow("PA") << "AcaSlider" << 123 << "PA" << 1.23f;
        QTest::newRow("S4") << "s4Slider" << 77 << "S4" << 0.77f;
    }
    void sliders() {
        QFETCH(QString, slider);
        QFETCH(int, position);
        QFETCH(QString, id);
        QFETCH(float, expected);
        TravelPageFixture f;
        f.params.setById(QStringLiteral("V0"), 0.1f);
        f.params.setById(QStringLiteral("V3"), 0.2f);
        auto* s = f.window.findChild<QSlider*>(slider);
        s->setValue(position);
        QCOMPARE(f.params.valueById(id), expected);
        QCOMPARE(s->value(), int(std::lrint(expected * 100.0)));
        QVERIFY(s->toolTip().startsWith(QString::number(expected) + u' '));
        QCOMPARE(f.prompts.texts(), QStringList());
    }

    void sliderRanges() {
        TravelPageFixture f;
        const struct {
            const char* name;
            int minimum, maximum, ticks;
        } ranges[] = {
            {"AcaSlider", 10, 200, 19}, {"ViSlider0", 1, 30, 3}, {"s1Slider", 10, 250, 24}};
        for (const auto& r : ranges) {
            auto* s = f.window.findChild<QSlider*>(r.name);
            QCOMPARE(s->minimum(), r.minimum);
            QCOMPARE(s->maximum(), r.maximum);
            QCOMPARE(s->tickInterval(), r.ticks);
        }
        QCOMPARE(f.window.findChild<QSlider*>("AcaSlider")->toolTip(),
                 QString::fromUtf8("0.4 m/s²"));
    }

    void typedValues_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<float>("stored");
        QTest::addColumn<int>("warnings");
        QTest::newRow("decimal comma") << "0,8" << 0.8f << 0;
        QTest::newRow("decimal point") << "0.8" << 0.8f << 0;
        QTest::newRow("trailing text") << "1.2 m/s3" << 1.2f << 0;
        QTest::newRow("no number: 0, below the limit") << "abc" << 0.7f << 1;
        QTest::newRow("above the limit") << "9" << 0.7f << 1;
    }
    void typedValues() {
        QFETCH(QString, typed);
        QFETCH(float, stored);
        QFETCH(int, warnings);
        TravelPageFixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        auto* box = f.window.findChild<QLineEdit*>("s2Text");
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, typed);
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(f.value("S2"), stored);
        QCOMPARE(f.prompts.messages.size(), warnings);
        // Every control shows what the catalogue kept.
        QCOMPARE(box->text(), QString::number(stored));
        QCOMPARE(f.window.findChild<QSlider*>("s2Slider")->value(), int(std::lrint(stored * 100)));
    }

    void badDistanceIsRefusedOnce() {
        TravelPageFixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.page->selectStopMode(0);
        auto* box = f.window.findChild<QLineEdit*>("TextSlowingDistance");
        const QString distance = box->text();
        const QString jerk = f.window.findChild<QLineEdit*>("TextSlowingS")->text();
        QVERIFY(box->isEnabled() && !distance.isEmpty());
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, "abc");
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(f.prompts.texts(),
                 QStringList{"The value given for Slowing distance (cm) is not a number."});
        QCOMPARE(box->text(), distance);
        QCOMPARE(f.window.findChild<QLineEdit*>("TextSlowingS")->text(), jerk);
    }

    void stopModeFromFile() {
        TravelPageFixture f;
        auto* box = f.window.findChild<QLineEdit*>("TextSlowingDistance");
        QVERIFY(!box->isEnabled()); // mode 1
        QTemporaryDir dir;
        ParamFiles files(f.params, f.lang, f.prompts, "Main");
        QList<QByteArray> lines = files.fileText().split('\n');
        for (int mode : {0, 1, 0}) {
            lines[f.params.FindParamById("stpmod")] = QByteArray::number(mode) + '\r';
            QFile file(dir.filePath("p.quv"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(lines.join('\n'));
            file.close();
            QCOMPARE(files.load(file.fileName()), ParamFiles::Result::Done);
            QCOMPARE(f.window.findChild<QComboBox*>("ComboStopMode")->currentIndex(), mode);
            QCOMPARE(box->isEnabled(), mode == 0);
        }
        QCOMPARE(f.prompts.texts(), QStringList());
    }
};

QTEST_MAIN(TestTravelPage)
#include "tst_travelpage.moc"
