// The model inside the program: the run that `simulate` plots, the inputs it
// refuses, inputs from the catalogue, and the stop-mode handler.
#include "ModelFixture.h"

#include <QLocale>
#include <QTest>
#include <functional>
#include <map>

namespace {

struct Recorder : TravelPlotter {
    bool started = false;
    std::vector<TravelSample> samples;
    void runStarting() override { started = true; }
    void plot(const TravelSample& s) override { samples.push_back(s); }
};

struct Host : SimulationHost {
    bool ready = false;
    int runs = 0;
    std::function<void()> onSimulate;
    bool readyToSimulate() const override { return ready; }
    void simulate() override {
        ++runs;
        if (onSimulate)
            onSimulate();
    }
};

} // namespace

class TestSimRun : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void samplesEveryTenthStep_data();
    void samplesEveryTenthStep();
    void runEndsWhenTimeStopsAdvancing();
    void refusedInputs_data();
    void refusedInputs();
    void catalogueFeedsInputs_data();
    void catalogueFeedsInputs();
    void catalogueFillsStopModeBoxes();
    void stopModeHandler();
};

void TestSimRun::samplesEveryTenthStep_data() {
    QTest::addColumn<float>("duration");
    QTest::newRow("15 s") << 15.0f;
    // Beyond 32.768 s a 16-bit step count would wrap.
    QTest::newRow("60 s") << 60.0f;
}

void TestSimRun::samplesEveryTenthStep() {
    QFETCH(float, duration);
    Model f(0);
    f.m.setDefaultTravel();
    f.m.addSignal(0, 35.0f, 55.0f);
    f.m.addSignal(3, 35.0f, 50.0f);
    f.m.D = duration;
    const auto trace = f.trace(); // every step of the same run
    RecordingPrompts prompts;
    LangModule lang(QString(), prompts);
    Recorder plotter;
    const RunReport report = f.m.simulate(nullptr, lang, prompts, "Main", &plotter);
    QVERIFY(report.ran && plotter.started);
    QCOMPARE(report.steps, std::int64_t(trace.size()));
    QVERIFY(std::abs(report.steps - std::int64_t(duration * 1000)) < 40);
    QCOMPARE(std::int64_t(plotter.samples.size()), (report.steps + 9) / 10);
    for (std::size_t i = 0; i < plotter.samples.size(); ++i) {
        const TravelSample& s = plotter.samples[i];
        const StepRecord& r = trace[10 * i];
        QVERIFY(s.t == r.t && s.x == r.x && s.v == r.v && s.a == r.a && s.phase == r.phase &&
                s.stopRequest == r.stopRequest);
    }
    QVERIFY(plotter.samples.back().t > duration - 0.011f);
    QVERIFY(prompts.messages.isEmpty());
}

void TestSimRun::runEndsWhenTimeStopsAdvancing() {
    Model f;
    f.m.D = 1.0e9f; // from 32768 s on, 1 ms no longer moves a single-precision time
    RecordingPrompts prompts;
    LangModule lang(QString(), prompts);
    QVERIFY(f.m.simulate(nullptr, lang, prompts, "Main", nullptr).ran);
    QCOMPARE(f.m.state.t, 32768.0f);
}

void TestSimRun::refusedInputs_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    const QString zero = QStringLiteral("The simulation was not run: %1 must not be 0.");
    const QString noNumber =
        QStringLiteral("The simulation was not run: the box \"%1\" holds no number.");
    QTest::newRow("S2") << "S2"
                        << "" << zero.arg("S2");
    QTest::newRow("S3") << "S3"
                        << "" << zero.arg("S3");
    QTest::newRow("S4") << "S4"
                        << "" << zero.arg("S4");
    QTest::newRow("NA") << "NA"
                        << "" << zero.arg("NA");
    QTest::newRow("duration") << "D"
                              << "" << zero.arg("Duration");
    QTest::newRow("slowing box") << "slowing"
                                 << "abc" << noNumber.arg("Slowing distance (cm)");
    QTest::newRow("stopping box") << "stopping"
                                  << "" << noNumber.arg("Stopping distance (cm)");
    // No slowing to fit (V3 = V0): the jerk shown is S2, 0.00001, which rounds to 0.
    QTest::newRow("fitted jerk 0") << "jerk"
                                   << "" << zero.arg("Computed slowing jerk (m/s3)");
    // By speed and acceleration the distances are computed before they are read.
    QTest::newRow("mode 1, slowing box") << "mode 1"
                                         << "abc" << QString();
}

void TestSimRun::refusedInputs() {
    QFETCH(QString, input);
    QFETCH(QString, value);
    QFETCH(QString, message);
    Model f(input == u"mode 1" ? 1 : 0);
    f.m.setDefaultTravel();
    const std::map<QString, float*> zeroed = {
        {"S2", &f.m.S2}, {"S3", &f.m.S3}, {"S4", &f.m.S4}, {"NA", &f.m.NA}, {"D", &f.m.D}};
    if (zeroed.count(input))
        *zeroed.at(input) = 0.0f;
    else if (input == u"stopping")
        f.controls.setText(StopModeBox::StoppingDistance, value);
    else if (input == u"jerk") {
        f.m.speedTable[3] = f.m.speedTable[0];
        f.m.S2 = 0.00001f;
    } else
        f.controls.setText(StopModeBox::SlowingDistance, value);

    RecordingPrompts prompts;
    LangModule lang(QString(), prompts);
    Recorder plotter;
    const RunReport report = f.m.simulate(nullptr, lang, prompts, "Main", &plotter);
    QCOMPARE(report.ran, message.isEmpty());
    QCOMPARE(plotter.samples.empty(), !message.isEmpty()); // nothing from half a run
    QCOMPARE(plotter.started, message.isEmpty());
    QCOMPARE(prompts.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (!message.isEmpty())
        QCOMPARE(prompts.messages[0].title, QStringLiteral("Main"));

    if (input == u"S3") { // the same cause worded by the language pack
        Program p(QStringLiteral("Turkce.lng"));
        p.sim.loadTravelParameters(p.params);
        p.sim.S3 = 0.0f;
        p.sim.simulate(nullptr, p.lang, p.prompts, "Main", nullptr);
        QCOMPARE(p.prompts.texts(), QStringList{p.lang.LangText(58).arg("S3")});
    }
}

void TestSimRun::catalogueFeedsInputs_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<float>("value");
    QTest::addColumn<bool>("atOnce"); // taken over by the setter, not only at a run
    for (const char* id : {"S1", "S2", "S3", "S4", "PA", "NA"})
        QTest::newRow(id) << id << 0.9f << true;
    QTest::newRow("VS") << "VS" << 0.08f << true;
    for (const char* id : {"AS", "par_tsu", "mb_on", "mb_off"})
        QTest::newRow(id) << id << 0.2f << true;
    QTest::newRow("V0") << "V0" << 0.15f << false;
    QTest::newRow("V2") << "V2" << 0.5f << false;
    QTest::newRow("V3") << "V3" << 1.6f << false;
}

void TestSimRun::catalogueFeedsInputs() {
    QFETCH(QString, id);
    QFETCH(float, value);
    QFETCH(bool, atOnce);
    Program p(QStringLiteral("UK-English.lng"));
    SimModule& m = p.sim;
    const std::map<QString, float*> inputs = {{"S1", &m.S1},
                                              {"S2", &m.S2},
                                              {"S3", &m.S3},
                                              {"S4", &m.S4},
                                              {"PA", &m.PA},
                                              {"NA", &m.NA},
                                              {"VS", &m.VS},
                                              {"AS", &m.AS},
                                              {"par_tsu", &m.startHoldTime},
                                              {"mb_on", &m.brakeOpenDelay},
                                              {"mb_off", &m.brakeCloseDelay},
                                              {"V0", &m.speedTable[0]},
                                              {"V2", &m.speedTable[2]},
                                              {"V3", &m.speedTable[3]}};
    float* input = inputs.at(id);
    const float before = *input;
    QVERIFY(p.params.setById(id, value));
    QCOMPARE(*input, atOnce ? value : before);
    m.speedTable[4] = 5.0f;
    m.loadTravelParameters(p.params);
    QCOMPARE(*input, value);
    QCOMPARE(m.speedTable[4], 0.0f);
    QCOMPARE(m.state.stopJerk, m.S2);
    QVERIFY(p.prompts.messages.isEmpty());
}

void TestSimRun::catalogueFillsStopModeBoxes() {
    QLocale::setDefault(QLocale(QStringLiteral("tr_TR")));
    Program p(QStringLiteral("UK-English.lng"));
    QCOMPARE(p.controls.stopModeIndex(), 1); // the default "stpmod"
    p.params.setById(QStringLiteral("stpmod"), 0.0f);
    p.params.setById(QStringLiteral("slwd"), 120.7f);
    QCOMPARE(p.controls.stopModeIndex(), 0);
    QCOMPARE(p.controls.text(StopModeBox::SlowingDistance), QStringLiteral("120,7"));
    p.params.setById(QStringLiteral("stpmod"), 3.0f); // above its limit: refused
    QCOMPARE(p.controls.stopModeIndex(), 0);

    // Leaving the box: the catalogue keeps the fraction of the comma text (read up to
    // the comma it would become 120), and the model reads 1.207 m.
    Host host;
    host.ready = true;
    p.sim.stopModeChanged(p.params, host);
    QCOMPARE(p.value("slwd"), 120.7f);
    QCOMPARE(p.sim.decelTable[3][0], 1.207f);
    // A period typed in a comma locale reads the same.
    p.controls.setText(StopModeBox::SlowingDistance, QStringLiteral("99.5"));
    p.sim.stopModeChanged(p.params, host);
    QCOMPARE(p.sim.decelTable[3][0], 0.995f);
    QCOMPARE(p.value("slwd"), 99.5f);
}

void TestSimRun::stopModeHandler() {
    Program p(QStringLiteral("UK-English.lng"));
    Host host;
    // Not ready: only the catalogue and the boxes' state change.
    p.controls.setStopModeIndex(0);
    p.controls.setDistancesEnabled(false);
    p.controls.setText(StopModeBox::SlowingDistance, QStringLiteral("150 cm"));
    p.controls.setText(StopModeBox::StoppingDistance, QStringLiteral("x"));
    p.sim.stopModeChanged(p.params, host);
    QCOMPARE(host.runs, 0);
    QVERIFY(p.controls.distancesEnabled());
    QVERIFY(p.controls.text(StopModeBox::SlowingS).isEmpty()); // nothing prepared
    QCOMPARE(p.value("stpmod"), 0.0f);
    QCOMPARE(p.value("slwd"), 150.0f);
    QCOMPARE(p.value("stpd"), 0.0f);

    // Ready, mode 1: prepared (with the last run's inputs) before the run.
    host.ready = true;
    QString slowingAtRun;
    host.onSimulate = [&] {
        slowingAtRun = p.controls.text(StopModeBox::SlowingDistance);
        p.sim.simulate(&p.params, p.lang, p.prompts, "Main", nullptr);
    };
    p.sim.loadTravelParameters(p.params);
    p.controls.setStopModeIndex(1);
    p.sim.stopModeChanged(p.params, host);
    QCOMPARE(host.runs, 1);
    QVERIFY(!p.controls.distancesEnabled());
    QCOMPARE(slowingAtRun, QStringLiteral("138")); // 1.3829 m in whole cm
    QCOMPARE(p.value("stpmod"), 1.0f);
    QCOMPARE(p.value("slwd"), 138.0f);
    QCOMPARE(p.value("stpd"), 3.0f);

    // Back to mode 0: the boxes open with the last computed distances.
    p.controls.setStopModeIndex(0);
    p.sim.stopModeChanged(p.params, host);
    QVERIFY(p.controls.distancesEnabled());
    QCOMPARE(p.controls.text(StopModeBox::SlowingDistance), QStringLiteral("138"));
    QCOMPARE(p.sim.decelTable[3][0], 1.38f);
    QVERIFY(p.prompts.messages.isEmpty());
}

QTEST_GUILESS_MAIN(TestSimRun)
#include "tst_simrun.moc"
