// The travel page with real widgets on the offscreen platform: what the plots show
// (read from their pixels), signal editing, the controls and the setter.
#include "params/ParamFiles.h"
#include "support/Pixels.h"
#include "support/TravelPageFixture.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Plot = TravelPage::Plot;

void typeAndLeave(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Tab);
}

// Loads a parameter file that differs from the program's values in `values`.
ParamFiles::Result loadFileWith(TravelPageFixture& f, const QMap<QString, QByteArray>& values) {
    QTemporaryDir dir;
    ParamFiles files(f.params);
    QList<QByteArray> lines = files.fileText().split('\n');
    for (auto [id, value] : values.asKeyValueRange())
        lines[f.params.FindParamById(id)] = value + '\r';
    QFile file(dir.filePath("p.quv"));
    if (!file.open(QIODevice::WriteOnly) || file.write(lines.join('\n')) <= 0)
        return ParamFiles::Result::Failed;
    file.close();
    return files.load(file.fileName());
}

// The top row the speed curve reaches (white, or yellow/red while slowing down).
int curvePeakRow(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QRgb c = image.pixel(x, y) & 0xffffff;
                c == 0xffffff || c == 0xffff00 || c == 0xff0000)
                return y;
    return -1;
}

} // namespace

class TestTravelPage : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    // No drive is needed: the run takes the program's values, whatever put them there.
    void runsTheProgramsValues() {
        TravelPageFixture f;
        const Canvas& v = f.plot(Plot::VPlot);
        // The plot is 1.1 x V3 high, so a travel up to V3 peaks 1/11 below the top.
        const auto upToV3 = [&] {
            return std::abs(curvePeakRow(v.image()) - v.image().height() / 11.0) <= 2.0 &&
                   v.scaleHeight() == double(1.1f * f.value("V3"));
        };
        QVERIFY(upToV3());
        // A file's stop mode sets the distance boxes' state as a choice does.
        auto* box = f.window.findChild<QLineEdit*>("TextSlowingDistance");
        QCOMPARE(loadFileWith(f, {{"V3", "1.5"}, {"stpmod", "0"}}), ParamFiles::Result::Done);
        QVERIFY(f.value("V3") == 1.5f && upToV3() && box->isEnabled());
        // While a read converts words, no run; then a slider redraws again.
        auto* slider = f.window.findChild<QSlider*>("ViSlider3");
        const QImage before = v.image();
        f.page->setReadyToSimulate(false);
        slider->setValue(120);
        QCOMPARE(v.image(), before);
        f.page->setReadyToSimulate(true);
        slider->setValue(130);
        QVERIFY(f.value("V3") == 1.3f && upToV3());
        QCOMPARE(loadFileWith(f, {{"stpmod", "1"}}), ParamFiles::Result::Done);
        QVERIFY(!box->isEnabled());
        QCOMPARE(f.prompts.texts(), QStringList());
    }

    // The refusal of a short distance names the shortest one that works.
    void shortestDistanceNamed() {
        TravelPageFixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.page->selectStopMode(0);
        auto* box = f.window.findChild<QLineEdit*>("TextStoppingDistance");
        typeAndLeave(box, "1");
        QCOMPARE(f.prompts.messages.size(), 1);
        const QRegularExpressionMatch named =
            QRegularExpression("at least (\\d+)").match(f.prompts.texts().first());
        QVERIFY(named.hasMatch());
        const int shortest = named.captured(1).toInt();
        QVERIFY(shortest > 1);
        typeAndLeave(box, QString::number(shortest - 1));
        QCOMPARE(f.prompts.messages.size(), 2);
        typeAndLeave(box, QString::number(shortest));
        QVERIFY(f.prompts.messages.size() == 2 && f.value("stpd") == float(shortest));
    }

    // A measured travel lies over the simulated one in a colour of its own; "Match
    // signals" gives the simulation the measured command timing, Undo takes it back.
    void measuredTravel() {
        TravelPageFixture f;
        // The car measured: the default travel with both commands ended early.
        const auto defaultLanes = f.sim.signalTable();
        f.sim.keepSignalsForUndo();
        f.sim.clearSignals();
        f.sim.addSignal(0, 1.0f, 9.0f);
        f.sim.addSignal(3, 1.0f, 6.0f);
        f.page->simulate();
        const TravelPlots& plots = f.page->plots();
        MeasuredCurve measured;
        double start = -1.0;
        for (const TravelSample& s : plots.samples()) {
            if (start < 0.0 && s.v > 0.0f)
                start = s.t;
            if (start >= 0.0) {
                measured.t << s.t - start;
                measured.v << s.v;
                measured.a << s.a;
            }
        }
        measured.flight = plots.simulatedFlight();
        measured.creep = plots.simulatedCreep();
        f.sim.undoSignals();

        const auto measuredPixels = [&](Plot p) {
            return pixelsWhere(f.plot(p).image(),
                               [](QColor c) { return c == TravelPlots::measuredColor(); });
        };
        f.page->setMeasuredCurve(measured);
        const int width = f.plot(Plot::VPlot).image().width();
        QVERIFY(measuredPixels(Plot::VPlot) > width / 2 && measuredPixels(Plot::APlot) > 0);
        QVERIFY(plots.largestSpeedDifference() > 0.5); // 3 s more at the high speed
        QVERIFY(std::abs(plots.simulatedFlight() - measured.flight) > 2.0);

        f.window.findChild<QPushButton*>("CommandMatchSignals")->click();
        QVERIFY2(std::abs(plots.simulatedFlight() - measured.flight) < 0.05 * measured.flight,
                 qPrintable(QString("%1 / %2").arg(plots.simulatedFlight()).arg(measured.flight)));
        QVERIFY(plots.largestSpeedDifference() < 0.1);
        f.window.findChild<QPushButton*>("CommandUndoSignals")->click();
        QVERIFY(f.sim.signalTable() == defaultLanes);
        f.page->clearMeasuredCurve();
        QCOMPARE(measuredPixels(Plot::VPlot), 0);
        QCOMPARE(f.prompts.texts(), QStringList());
    }

    void signalEditing() {
        TravelPageFixture f;
        f.window.findChild<QComboBox*>("SimDurationCombo")->setCurrentIndex(1); // 10 s
        Canvas* c = f.page->plot(Plot::CPlot);
        const auto lane2 = [&] {
            QList<int> on;
            for (int n = 250; n <= 350; ++n)
                if (f.sim.signalTable()[n][2])
                    on.append(n);
            return on;
        };
        const auto drag = [&](Qt::MouseButton button, QList<double> xs) {
            emit c->mousePressed(button, QPointF(xs.first(), 3.0));
            for (double x : xs.mid(1))
                emit c->mouseMoved(button, QPointF(x, 3.0));
            emit c->mouseReleased(button, QPointF(xs.last(), 3.0));
        };
        drag(Qt::LeftButton, {3.004, 3.055});
        QCOMPARE(lane2(), (QList<int>{300, 301, 302, 303, 304, 305}));
        drag(Qt::RightButton, {3.004, 3.055});
        QCOMPARE(lane2(), QList<int>());
        // Back to the press point: the press sample alone.
        drag(Qt::LeftButton, {3.004, 3.065, 3.004});
        QCOMPARE(lane2().size(), 7);
        drag(Qt::RightButton, {3.004, 3.065});
        drag(Qt::LeftButton, {3.004, 3.004});
        QCOMPARE(lane2(), QList<int>{300});
        QCOMPARE(f.prompts.texts(), QStringList());
    }

    void plotsOfARun() {
        TravelPageFixture f;
        // Another page in front: nothing is drawn.
        const QImage speed = f.plot(Plot::VPlot).image();
        f.page->setInFront(false);
        f.params.setById(QStringLiteral("V3"), 1.5f);
        QCOMPARE(f.plot(Plot::VPlot).image(), speed);

        // 60 s: the run goes to its end.
        f.page->setInFront(true);
        auto* combo = f.window.findChild<QComboBox*>("SimDurationCombo");
        combo->setCurrentIndex(combo->findText(QStringLiteral("60 s")));
        QVERIFY(f.sim.duration() == 60.0f && f.sim.state.t >= 59.999f);
    }

    void sliders_data() {
        QTest::addColumn<QString>("slider");
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("position");
        QTest::addColumn<float>("expected");
        const auto row = [](const char* name, const char* slider, int position, float expected) {
            QTest::newRow(name) << slider << QString(name).left(2) << position << expected;
        };
        // V0 = 0.1 and V3 = 0.2 first.
        row("V0 at V3", "ViSlider0", 20, 0.19f);
        row("V3 at V0", "ViSlider3", 10, 0.11f);
        row("V1 has no rule", "ViSlider1", 25, 0.25f);
        row("NA", "AcBSlider", 123, 1.23f);
    }
    void sliders() {
        QFETCH(QString, slider);
        QFETCH(QString, id);
        QFETCH(int, position);
        QFETCH(float, expected);
        TravelPageFixture f;
        f.params.setById(QStringLiteral("V0"), 0.1f);
        f.params.setById(QStringLiteral("V3"), 0.2f);
        auto* s = f.window.findChild<QSlider*>(slider);
        s->setValue(position);
        QCOMPARE(f.params.valueById(id), expected);
        QCOMPARE(s->value(), int(std::lrint(expected * 100.0)));
        QCOMPARE(f.prompts.texts(), QStringList());
    }

    // A typed distance the catalogue or the run cannot take is warned once and the box
    // shows the catalogue's value again; the fitted jerk beside it is a result.
    void typedDistance_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<float>("stored"); // NaN: refused, the value before kept
        const float refused = std::nanf("");
        // Below the catalogue's limit, too short for any slowing, long enough.
        QTest::newRow("negative") << QStringLiteral("-5") << refused;
        QTest::newRow("zero") << QStringLiteral("0") << refused;
        QTest::newRow("long enough") << QStringLiteral("250") << 250.0f;
    }
    void typedDistance() {
        QFETCH(QString, typed);
        QFETCH(float, stored);
        TravelPageFixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.page->selectStopMode(0);
        auto* edit = f.window.findChild<QLineEdit*>("TextSlowingDistance");
        auto* jerk = f.window.findChild<QLineEdit*>("TextSlowingS");
        const bool taken = !std::isnan(stored);
        if (!taken)
            stored = f.value("slwd");
        const QString jerkShown = jerk->text();
        typeAndLeave(edit, typed);
        QCOMPARE(f.value("slwd"), stored);
        QCOMPARE(f.prompts.messages.size(), taken ? 0 : 1);
        QCOMPARE(edit->text(), QString::number(stored));
        // A refused value leaves the fit alone; a taken distance is fitted anew.
        QCOMPARE(jerk->text() == jerkShown, !taken);
        // Leaving again is no new refusal.
        typeAndLeave(edit, edit->text());
        QCOMPARE(f.prompts.messages.size(), taken ? 0 : 1);
        // The fitted jerk is a result: typing over it changes nothing.
        typeAndLeave(jerk, "7");
        QVERIFY(jerk->text() != "7");
    }
};

QTEST_MAIN(TestTravelPage)
#include "tst_travelpage.moc"
