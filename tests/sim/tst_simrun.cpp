// The model inside the program: the run that `simulate` plots, the inputs it
// refuses, inputs from the catalogue, and the stop-mode handler.
#include "support/ModelFixture.h"

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
        onSimulate();
    }
};

} // namespace

class TestSimRun : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void samplesEveryTenthStep() {
        Model f(0); // 60 s: beyond 32.768 s a 16-bit step count would wrap

        f.m.setDefaultTravel();
        f.m.addSignal(0, 35.0f, 55.0f);
        f.m.addSignal(3, 35.0f, 50.0f);
        f.m.D = 60.0f;
        const auto trace = f.trace(); // every step of the same run
        RecordingPrompts prompts;
        LangModule lang{QString()};
        Recorder plotter;
        const RunReport report = f.m.simulate(nullptr, lang, prompts, "Main", &plotter);
        QVERIFY(report.ran && plotter.started && prompts.messages.isEmpty());
        QCOMPARE(report.steps, std::int64_t(trace.size()));
        QVERIFY(std::abs(report.steps - 60000) < 40);
        QCOMPARE(std::int64_t(plotter.samples.size()), (report.steps + 9) / 10);
        for (std::size_t i = 0; i < plotter.samples.size(); ++i) {
            const TravelSample& s = plotter.samples[i];
            const TravelState& r = trace[10 * i];
            QVERIFY(s.t == r.t && s.x == r.x && s.v == r.v && s.a == r.a && s.phase == r.phase &&
                    s.stopRequest == r.stopRequest);
        }
        QVERIFY(plotter.samples.back().t > 59.989f);
    }

    void refusedInputs_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("cause"); // empty: the run goes ahead
        const auto row = [](const char* input, const char* cause) {
            QTest::newRow(input) << QString::fromLatin1(input) << QString::fromLatin1(cause);
        };
        for (const char* id : {"S2", "S3", "S4", "NA"})
            row(id, id);
        row("D", "Duration");
        row("slowing box", "Slowing distance (cm)");
        row("stopping box", "Stopping distance (cm)");
        // No slowing to fit (V3 = V0): the jerk shown is S2, 0.00001, which rounds to 0.
        row("fitted jerk", "Computed slowing jerk (m/s3)");
        // By speed and acceleration the distances are computed before they are read.
        row("mode 1, slowing box", "");
    }
    void refusedInputs() {
        QFETCH(QString, input);
        QFETCH(QString, cause);
        Model f(input.startsWith(u"mode 1") ? 1 : 0);
        f.m.setDefaultTravel();
        const std::map<QString, float*> zeroed = {
            {"S2", &f.m.S2}, {"S3", &f.m.S3}, {"S4", &f.m.S4}, {"NA", &f.m.NA}, {"D", &f.m.D}};
        if (zeroed.count(input)) {
            *zeroed.at(input) = 0.0f;
        } else if (input == u"fitted jerk") {
            f.m.speedTable[3] = f.m.speedTable[0];
            f.m.S2 = 0.00001f;
        } else if (input.contains(u"slowing")) {
            f.controls.setText(StopModeBox::SlowingDistance, QStringLiteral("abc"));
        } else {
            f.controls.setText(StopModeBox::StoppingDistance, QString());
        }
        RecordingPrompts prompts;
        LangModule lang{QString()};
        Recorder plotter;
        const RunReport report = f.m.simulate(nullptr, lang, prompts, "Main", &plotter);
        const bool refused = !cause.isEmpty();
        const QString message =
            input.endsWith(u"box")
                ? QStringLiteral("The simulation was not run: the box \"%1\" holds no number.")
                : QStringLiteral("The simulation was not run: %1 must not be 0.");
        QCOMPARE(report.ran, !refused);
        QCOMPARE(plotter.started, !refused);
        QCOMPARE(plotter.samples.empty(), refused); // nothing from half a run
        QCOMPARE(prompts.texts(), refused ? QStringList{message.arg(cause)} : QStringList());
    }

    void catalogueFeedsInputs() {
        Program p(QStringLiteral("UK-English.lng"));
        SimModule& m = p.sim;
        // Distinct values, so that no input can stand in for another. The setter hands
        // over all but the speeds at once; those are read at a run.
        const struct {
            const char* id;
            float* input;
            float value;
            bool atOnce;
        } inputs[] = {{"S1", &m.S1, 0.9f, true},
                      {"S2", &m.S2, 1.1f, true},
                      {"S3", &m.S3, 1.2f, true},
                      {"S4", &m.S4, 1.3f, true},
                      {"PA", &m.PA, 1.4f, true},
                      {"NA", &m.NA, 1.5f, true},
                      {"VS", &m.VS, 0.08f, true},
                      {"AS", &m.AS, 0.2f, true},
                      {"par_tsu", &m.startHoldTime, 0.4f, true},
                      {"mb_on", &m.brakeOpenDelay, 0.6f, true},
                      {"mb_off", &m.brakeCloseDelay, 0.7f, true},
                      {"V0", &m.speedTable[0], 0.15f, false},
                      {"V2", &m.speedTable[2], 0.5f, false},
                      {"V3", &m.speedTable[3], 1.6f, false}};
        for (const auto& [id, input, value, atOnce] : inputs) {
            const float before = *input;
            QVERIFY(p.params.setById(id, value));
            QCOMPARE(*input, atOnce ? value : before);
        }
        m.speedTable[4] = 5.0f;
        m.loadTravelParameters(p.params);
        for (const auto& in : inputs)
            QCOMPARE(*in.input, in.value);
        QVERIFY(m.speedTable[4] == 0.0f && m.state.stopJerk == 1.1f);
        QVERIFY(p.prompts.messages.isEmpty());
    }

    void stopModeHandler() {
        QLocale::setDefault(QLocale(QStringLiteral("tr_TR")));
        Program p(QStringLiteral("UK-English.lng"));
        QCOMPARE(p.controls.stopModeIndex(), 1); // the default "stpmod"
        p.params.setById(QStringLiteral("stpmod"), 0.0f);
        p.params.setById(QStringLiteral("slwd"), 120.7f);
        QCOMPARE(p.controls.stopModeIndex(), 0);
        QCOMPARE(p.controls.text(StopModeBox::SlowingDistance), QStringLiteral("120,7"));

        // Ready: prepared, then run. The comma text keeps its fraction (120.7, not 120).
        Host host;
        host.ready = true;
        QString slowingAtRun;
        host.onSimulate = [&] {
            slowingAtRun = p.controls.text(StopModeBox::SlowingDistance);
            p.sim.simulate(&p.params, p.lang, p.prompts, "Main", nullptr);
        };
        p.sim.stopModeChanged(p.params, host);
        QCOMPARE(p.value("slwd"), 120.7f);
        QCOMPARE(p.sim.decelTable[3][0], 1.207f);

        // Not ready: only the catalogue and the boxes' state change.
        host.ready = false;
        p.controls.setDistancesEnabled(false);
        p.controls.setText(StopModeBox::SlowingDistance, QStringLiteral("150 cm"));
        p.controls.setText(StopModeBox::StoppingDistance, QStringLiteral("x"));
        p.sim.stopModeChanged(p.params, host);
        QVERIFY(host.runs == 1 && p.controls.distancesEnabled());
        QCOMPARE(p.sim.decelTable[3][0], 1.207f); // nothing prepared
        QCOMPARE(p.value("slwd"), 150.0f);
        QCOMPARE(p.value("stpd"), 0.0f);

        // Mode 1: the distances are computed (whole cm) before the run and stored.
        host.ready = true;
        p.controls.setStopModeIndex(1);
        p.sim.stopModeChanged(p.params, host);
        QVERIFY(host.runs == 2 && !p.controls.distancesEnabled());
        QCOMPARE(slowingAtRun, QStringLiteral("138")); // 1.3829 m
        QCOMPARE(p.value("stpmod"), 1.0f);
        QCOMPARE(p.value("slwd"), 138.0f);
        QCOMPARE(p.value("stpd"), 3.0f);

        // Back to mode 0: the boxes open with the last computed distances.
        p.controls.setStopModeIndex(0);
        p.sim.stopModeChanged(p.params, host);
        QVERIFY(p.controls.distancesEnabled());
        QCOMPARE(p.sim.decelTable[3][0], 1.38f);
        QVERIFY(p.prompts.messages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSimRun)
#include "tst_simrun.moc"
