// The model inside the program: inputs from the parameter catalogue, the run that
// `simulate` plots, the inputs it refuses, and the stop-mode handler.
#include "DataFiles.h"
#include "LangModule.h"
#include "ModelFixture.h"
#include "ParamModule.h"
#include "RecordingPrompts.h"
#include "SimModule.h"

#include <QLocale>
#include <QTest>
#include <cmath>
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

// The shipped pack and definition file, the defaults through the setter, and the
// model listening to the catalogue.
struct Program {
    RecordingPrompts prompts;
    LangModule lang{binFolder(), prompts};
    ParamModule params{lang, prompts};
    SimModule sim;
    TextStopModeControls controls;

    explicit Program(const QString& pack = QStringLiteral("UK-English.lng")) {
        sim.setControls(&controls);
        lang.LoadLanguagePack(pack);
        params.LoadParamDefinitions(binFolder());
        params.addListener(&sim);
        params.LoadDefaultParameters();
    }
    float value(const char* id) const { return params.valueById(QString::fromLatin1(id), -99); }
};

enum Cause { S2Zero, S3Zero, S4Zero, NAZero, DZero, SlowingBox, StoppingBox, JerkZero, SpeedMode };

} // namespace

class TestSimRun : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void samplesEveryTenthStep();
    void sixtySecondRun();
    void runEndsWhenTimeStopsAdvancing();
    void refusedInputs_data();
    void refusedInputs();
    void refusalFromLanguagePack();

    void catalogueFeedsInputs_data();
    void catalogueFeedsInputs();
    void loadTravelParameters();
    void catalogueFillsStopModeControls();

    void handlerWithoutReadyOnlyStores();
    void handlerPreparesThenSimulates();
    void typedDistanceKeepsFraction_data();
    void typedDistanceKeepsFraction();
};

// ---------------------------------------------------------------------------------

void TestSimRun::samplesEveryTenthStep() {
    SimModule m;
    setFactoryInputs(m);
    m.setDefaultTravel();
    const auto trace = traceRun(m); // every step of the same run

    RecordingPrompts prompts;
    LangModule lang(QString(), prompts);
    Recorder plotter;
    const RunReport report = m.simulate(nullptr, lang, prompts, QStringLiteral("Main"), &plotter);
    QVERIFY(report.ran);
    QVERIFY(plotter.started);
    QCOMPARE(report.steps, std::int64_t(trace.size()));
    QVERIFY(std::abs(report.steps - 15000) < 10);
    QCOMPARE(std::int64_t(plotter.samples.size()), (report.steps + 9) / 10);
    QCOMPARE(report.samples, std::int64_t(plotter.samples.size()));
    for (std::size_t i = 0; i < plotter.samples.size(); ++i) {
        const TravelSample& s = plotter.samples[i];
        const StepRecord& r = trace[10 * i];
        QCOMPARE(s.t, r.t);
        QCOMPARE(s.x, r.x);
        QCOMPARE(s.v, r.v);
        QCOMPARE(s.a, r.a);
        QCOMPARE(s.phase, r.phase);
        QCOMPARE(s.stopRequest, r.stopRequest);
    }
    QCOMPARE(plotter.samples.front().t, 0.001f);
    QVERIFY(prompts.messages.isEmpty());
}

void TestSimRun::sixtySecondRun() {
    SimModule m;
    setFactoryInputs(m);
    m.D = 60.0f;
    m.setDefaultTravel();
    m.addSignal(0, 35.0f, 55.0f);
    m.addSignal(3, 35.0f, 50.0f);
    RecordingPrompts prompts;
    LangModule lang(QString(), prompts);
    Recorder plotter;
    const RunReport report = m.simulate(nullptr, lang, prompts, QStringLiteral("Main"), &plotter);
    QVERIFY(report.ran);
    QVERIFY(std::abs(report.steps - 60000) < 40);
    QCOMPARE(std::int64_t(plotter.samples.size()), (report.steps + 9) / 10);
    // Samples go on past 32.768 s, where a 16-bit step count would have wrapped.
    QVERIFY(plotter.samples.back().t > 59.98f);
    float lastT = 0.0f;
    bool secondTravelAtV3 = false;
    for (const TravelSample& s : plotter.samples) {
        QVERIFY(s.t > lastT);
        lastT = s.t;
        if (s.t > 40.0f && s.v == m.speedTable[3])
            secondTravelAtV3 = true;
    }
    QVERIFY(secondTravelAtV3);
    QCOMPARE(plotter.samples.back().phase, TravelPhase::Idle);
}

void TestSimRun::runEndsWhenTimeStopsAdvancing() {
    SimModule m;
    setFactoryInputs(m);
    // From 32768 s on, adding 1 ms no longer changes a single-precision time.
    m.D = 1.0e9f;
    RecordingPrompts prompts;
    LangModule lang(QString(), prompts);
    const RunReport report = m.simulate(nullptr, lang, prompts, QStringLiteral("Main"), nullptr);
    QVERIFY(report.ran);
    QCOMPARE(m.state.t, 32768.0f);
    QVERIFY(report.steps > 20000000);
}

void TestSimRun::refusedInputs_data() {
    QTest::addColumn<int>("cause");
    QTest::addColumn<QString>("message");
    const QString zero = QStringLiteral("The simulation was not run: %1 must not be 0.");
    const QString noNumber =
        QStringLiteral("The simulation was not run: the box \"%1\" holds no number.");
    QTest::newRow("S2") << int(S2Zero) << zero.arg("S2");
    QTest::newRow("S3") << int(S3Zero) << zero.arg("S3");
    QTest::newRow("S4") << int(S4Zero) << zero.arg("S4");
    QTest::newRow("NA") << int(NAZero) << zero.arg("NA");
    QTest::newRow("duration") << int(DZero) << zero.arg("Duration");
    QTest::newRow("slowing distance") << int(SlowingBox) << noNumber.arg("Slowing distance (cm)");
    QTest::newRow("stopping distance")
        << int(StoppingBox) << noNumber.arg("Stopping distance (cm)");
    QTest::newRow("fitted jerk 0") << int(JerkZero) << zero.arg("Computed slowing jerk (m/s3)");
    // In mode 1 the distance boxes are computed before they are read: no refusal.
    QTest::newRow("mode 1 ignores typed distance") << int(SpeedMode) << QString();
}

void TestSimRun::refusedInputs() {
    QFETCH(int, cause);
    QFETCH(QString, message);
    SimModule m;
    TextStopModeControls controls;
    m.setControls(&controls);
    setFactoryInputs(m);
    m.setDefaultTravel();
    controls.setStopModeIndex(0);
    controls.setText(StopModeBox::SlowingDistance, QStringLiteral("120"));
    controls.setText(StopModeBox::StoppingDistance, QStringLiteral("5"));
    switch (Cause(cause)) {
    case S2Zero:
        m.S2 = 0.0f;
        break;
    case S3Zero:
        m.S3 = 0.0f;
        break;
    case S4Zero:
        m.S4 = 0.0f;
        break;
    case NAZero:
        m.NA = 0.0f;
        break;
    case DZero:
        m.D = 0.0f;
        break;
    case SlowingBox:
        controls.setText(StopModeBox::SlowingDistance, QStringLiteral("abc"));
        break;
    case StoppingBox:
        controls.setText(StopModeBox::StoppingDistance, QString());
        break;
    case JerkZero:
        // No slowing to fit (V3 = V0): the shown jerk is S2, which rounds to 0.
        m.speedTable[3] = m.speedTable[0];
        m.S2 = 0.00001f;
        break;
    case SpeedMode:
        controls.setStopModeIndex(1);
        controls.setText(StopModeBox::SlowingDistance, QStringLiteral("abc"));
        break;
    }
    RecordingPrompts prompts;
    LangModule lang(QString(), prompts);
    Recorder plotter;
    const RunReport report = m.simulate(nullptr, lang, prompts, QStringLiteral("Main"), &plotter);
    if (message.isEmpty()) {
        QVERIFY(report.ran);
        QVERIFY(prompts.messages.isEmpty());
        QVERIFY(!plotter.samples.empty());
        return;
    }
    QVERIFY(!report.ran);
    QCOMPARE(report.steps, std::int64_t(0));
    QVERIFY(!plotter.started);
    QVERIFY(plotter.samples.empty());
    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(prompts.messages[0].icon, Prompts::Icon::Warning);
    QCOMPARE(prompts.messages[0].title, QStringLiteral("Main"));
    QCOMPARE(prompts.messages[0].text, message);
    QCOMPARE(report.refusal, message);
}

void TestSimRun::refusalFromLanguagePack() {
    Program p(QStringLiteral("Turkce.lng"));
    p.params.setById(QStringLiteral("S3"), 0.0f); // below its limit: refused by the setter
    QCOMPARE(p.sim.S3, 0.7f);
    p.sim.S3 = 0.0f;
    p.prompts.messages.clear();
    Recorder plotter;
    const RunReport report =
        p.sim.simulate(nullptr, p.lang, p.prompts, QStringLiteral("Main"), &plotter);
    QVERIFY(!report.ran);
    QCOMPARE(p.prompts.texts(), QStringList{p.lang.LangText(58).arg("S3")});
    QVERIFY(p.lang.LangText(58).contains(u'%'));

    p.sim.S3 = 0.7f;
    p.sim.D = 0.0f;
    p.prompts.messages.clear();
    p.sim.simulate(nullptr, p.lang, p.prompts, QStringLiteral("Main"), &plotter);
    QCOMPARE(p.prompts.texts(), QStringList{p.lang.LangText(58).arg(p.lang.LangText(42))});
    QVERIFY(plotter.samples.empty());
}

// ---------------------------------------------------------------------------------

void TestSimRun::catalogueFeedsInputs_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<float>("value");
    QTest::addColumn<bool>("atOnce"); // taken over by the setter, not only at a run
    QTest::newRow("S1") << "S1" << 0.9f << true;
    QTest::newRow("S2") << "S2" << 1.1f << true;
    QTest::newRow("S3") << "S3" << 1.2f << true;
    QTest::newRow("S4") << "S4" << 1.3f << true;
    QTest::newRow("PA") << "PA" << 0.6f << true;
    QTest::newRow("NA") << "NA" << 0.7f << true;
    QTest::newRow("VS") << "VS" << 0.08f << true;
    QTest::newRow("AS") << "AS" << 0.2f << true;
    QTest::newRow("par_tsu") << "par_tsu" << 0.5f << true;
    QTest::newRow("mb_on") << "mb_on" << 0.6f << true;
    QTest::newRow("mb_off") << "mb_off" << 0.7f << true;
    QTest::newRow("V0") << "V0" << 0.15f << false;
    QTest::newRow("V1") << "V1" << 0.25f << false;
    QTest::newRow("V2") << "V2" << 0.5f << false;
    QTest::newRow("V3") << "V3" << 1.6f << false;
}

void TestSimRun::catalogueFeedsInputs() {
    QFETCH(QString, id);
    QFETCH(float, value);
    QFETCH(bool, atOnce);
    Program p;
    QVERIFY(p.prompts.messages.isEmpty());
    const std::map<QString, float*> inputs = {
        {"S1", &p.sim.S1},
        {"S2", &p.sim.S2},
        {"S3", &p.sim.S3},
        {"S4", &p.sim.S4},
        {"PA", &p.sim.PA},
        {"NA", &p.sim.NA},
        {"VS", &p.sim.VS},
        {"AS", &p.sim.AS},
        {"par_tsu", &p.sim.startHoldTime},
        {"mb_on", &p.sim.brakeOpenDelay},
        {"mb_off", &p.sim.brakeCloseDelay},
        {"V0", &p.sim.speedTable[0]},
        {"V1", &p.sim.speedTable[1]},
        {"V2", &p.sim.speedTable[2]},
        {"V3", &p.sim.speedTable[3]},
    };
    float* input = inputs.at(id);
    const float before = *input;
    QVERIFY(p.params.setById(id, value));
    QCOMPARE(p.value(id.toLatin1().constData()), value);
    QCOMPARE(*input, atOnce ? value : before);
    p.sim.loadTravelParameters(p.params);
    QCOMPARE(*input, value);
}

void TestSimRun::loadTravelParameters() {
    Program p;
    p.sim.speedTable[4] = 5.0f;
    p.sim.state.stopJerk = 0.0f;
    p.sim.loadTravelParameters(p.params);
    QCOMPARE(p.sim.speedTable[0], 0.1f);
    QCOMPARE(p.sim.speedTable[1], 0.2f);
    QCOMPARE(p.sim.speedTable[2], 0.4f);
    QCOMPARE(p.sim.speedTable[3], 1.0f);
    QCOMPARE(p.sim.speedTable[4], 0.0f);
    QCOMPARE(p.sim.PA, 0.4f);
    QCOMPARE(p.sim.NA, 0.5f);
    QCOMPARE(p.sim.S2, 0.7f);
    QCOMPARE(p.sim.state.stopJerk, 0.7f);
    QCOMPARE(p.sim.VS, 0.05f);
    QCOMPARE(p.sim.startHoldTime, 0.3f);
}

void TestSimRun::catalogueFillsStopModeControls() {
    QLocale::setDefault(QLocale(QStringLiteral("tr_TR")));
    Program p;
    QCOMPARE(p.controls.stopModeIndex(), 1); // default "stpmod"
    p.params.setById(QStringLiteral("stpmod"), 0.0f);
    QCOMPARE(p.controls.stopModeIndex(), 0);
    p.params.setById(QStringLiteral("slwd"), 120.7f);
    p.params.setById(QStringLiteral("stpd"), 4.5f);
    QCOMPARE(p.controls.text(StopModeBox::SlowingDistance), QStringLiteral("120,7"));
    QCOMPARE(p.controls.text(StopModeBox::StoppingDistance), QStringLiteral("4,5"));
    float read = 0.0f;
    QVERIFY(p.sim.boxNumber(StopModeBox::SlowingDistance, &read));
    QCOMPARE(read, 120.7f);
    // Out of its limits (0..1) "stpmod" is refused and the list keeps its item.
    p.params.setById(QStringLiteral("stpmod"), 3.0f);
    QCOMPARE(p.controls.stopModeIndex(), 0);
}

// ---------------------------------------------------------------------------------

void TestSimRun::handlerWithoutReadyOnlyStores() {
    Program p;
    Host host;
    p.controls.setStopModeIndex(0);
    p.controls.setDistancesEnabled(false);
    p.controls.setText(StopModeBox::SlowingDistance, QStringLiteral("150 cm"));
    p.controls.setText(StopModeBox::StoppingDistance, QStringLiteral("x"));
    const quint32 calls = p.sim.state.predictorCalls;
    p.sim.stopModeChanged(p.params, host);
    QCOMPARE(p.value("stpmod"), 0.0f);
    QVERIFY(p.controls.distancesEnabled());
    QCOMPARE(host.runs, 0);
    QCOMPARE(p.sim.state.predictorCalls, calls); // nothing was prepared
    QVERIFY(p.controls.text(StopModeBox::SlowingS).isEmpty());
    // The leading number of each box; no number at all gives 0.
    QCOMPARE(p.value("slwd"), 150.0f);
    QCOMPARE(p.value("stpd"), 0.0f);
    QVERIFY(p.prompts.messages.isEmpty());
}

void TestSimRun::handlerPreparesThenSimulates() {
    Program p;
    Host host;
    host.ready = true;
    QString slowingAtRun;
    host.onSimulate = [&] {
        slowingAtRun = p.controls.text(StopModeBox::SlowingDistance);
        p.sim.simulate(&p.params, p.lang, p.prompts, QStringLiteral("Main"), nullptr);
    };
    // The handler prepares with the inputs of the last run, as the program has.
    p.sim.loadTravelParameters(p.params);
    p.controls.setStopModeIndex(1);
    p.sim.stopModeChanged(p.params, host);
    QCOMPARE(host.runs, 1);
    QVERIFY(!p.controls.distancesEnabled());
    // Prepared before the run: the computed distance (1.3829 m) in whole cm.
    QCOMPARE(slowingAtRun, QStringLiteral("138"));
    QCOMPARE(p.value("stpmod"), 1.0f);
    QCOMPARE(p.value("slwd"), 138.0f);
    QCOMPARE(p.value("stpd"), 3.0f);
    QCOMPARE(p.controls.text(StopModeBox::SlowingS), SimModule::jerkText(p.sim.slowingJerk));

    // Back to mode 0: the boxes open with the last computed distances.
    p.controls.setStopModeIndex(0);
    p.sim.stopModeChanged(p.params, host);
    QCOMPARE(host.runs, 2);
    QVERIFY(p.controls.distancesEnabled());
    QCOMPARE(p.controls.text(StopModeBox::SlowingDistance), QStringLiteral("138"));
    QCOMPARE(p.value("slwd"), 138.0f);
    QCOMPARE(p.sim.decelTable[3][0], 1.38f);
    QVERIFY(p.prompts.messages.isEmpty());
}

void TestSimRun::typedDistanceKeepsFraction_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("shown");
    QTest::newRow("point") << "C"
                           << "120.7";
    QTest::newRow("decimal comma") << "tr_TR"
                                   << "120,7";
}

void TestSimRun::typedDistanceKeepsFraction() {
    QFETCH(QString, locale);
    QFETCH(QString, shown);
    QLocale::setDefault(QLocale(locale));
    Program p;
    Host host;
    p.controls.setStopModeIndex(0);
    p.controls.setText(StopModeBox::SlowingDistance, QStringLiteral("120.7"));
    p.sim.stopModeChanged(p.params, host);
    QCOMPARE(p.value("slwd"), 120.7f);
    QCOMPARE(p.controls.text(StopModeBox::SlowingDistance), shown);
    // Leaving the box again must not cut the distance down to 120.
    p.sim.stopModeChanged(p.params, host);
    QCOMPARE(p.value("slwd"), 120.7f);
    host.ready = true;
    p.sim.stopModeChanged(p.params, host);
    QCOMPARE(p.sim.decelTable[3][0], 1.207f);
}

QTEST_GUILESS_MAIN(TestSimRun)
#include "tst_simrun.moc"
