// The travel model: commands, deceleration distances, the predictor and its cadence,
// the jerk fit, whole travels stepped 1 ms at a time; and inside the program: the run
// that `simulate` plots, the inputs it refuses, inputs from the catalogue, and the
// stop-mode handler.
#include "support/ModelFixture.h"

#include <QLocale>
#include <QTest>
#include <cmath>
#include <functional>
#include <limits>
#include <map>

namespace {

using Trace = std::vector<TravelState>;

namespace P = TravelPhase;

QList<int> phaseSequence(const Trace& trace) {
    QList<int> phases;
    for (const TravelState& s : trace)
        if (phases.isEmpty() || phases.last() != s.phase)
            phases << s.phase;
    return phases;
}

// DecelIn steps (1-based from `start`) at which a prediction was used: the jerk
// changed or the correction switched itself off.
QList<int> corrections(const Trace& trace, int start) {
    QList<int> steps;
    for (int i = start + 1; i < int(trace.size()) && trace[i].phase == TravelPhase::DecelIn; ++i)
        if (trace[i].stopJerk != trace[i - 1].stopJerk ||
            trace[i].correctionEnabled != trace[i - 1].correctionEnabled)
            steps << i - start + 1;
    return steps;
}

bool near(double value, double expected, double tolerance) {
    const bool close = std::fabs(value - expected) < tolerance;
    if (!close)
        qWarning("%.9g is not %.9g", value, expected);
    return close;
}

// A run as the program's `simulate` does it: what it plotted and what it said.
struct Run : TravelPlotter {
    LangModule lang{QString()};
    bool started = false;
    std::vector<TravelSample> samples;
    RunReport report;
    explicit Run(SimModule& m) { report = m.simulate(nullptr, lang, this); }
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

class TestTravelModel : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void commandAt_data() {
        QTest::addColumn<float>("t");          // D = 10 s: sample = t / 0.01 s
        QTest::addColumn<QList<int>>("flags"); // pairs: sample, flag
        QTest::addColumn<int>("expected");
        QTest::newRow("V0 and V3: highest wins") << 1.0f << QList<int>{100, 0, 100, 3} << 3;
        QTest::newRow("no flag") << 1.0f << QList<int>{99, 1, 101, 2} << 4;
        QTest::newRow("negative t") << -0.5f << QList<int>{0, 2} << 2;
        QTest::newRow("just below D: sample 1000")
            << std::nextafter(10.0f, 0.0f) << QList<int>{999, 1, 1000, 2, 1001, 3} << 2;
        QTest::newRow("2.5 goes to 2") << 0.025f << QList<int>{2, 1, 3, 2} << 1;
        QTest::newRow("3.5 goes to 4") << 0.035f << QList<int>{3, 2, 4, 3} << 3;
        QTest::newRow("beyond the table") << 200.0f << QList<int>{10000, 0} << 0;
    }
    void commandAt() {
        QFETCH(float, t);
        QFETCH(QList<int>, flags);
        SimModule m;
        m.setDuration(10.0f);
        for (int i = 0; i + 1 < flags.size(); i += 2)
            m.setSignal(flags[i + 1], flags[i], flags[i], true);
        QTEST(int(m.commandAt(t)), "expected");
    }

    void decelDistance_data() {
        QTest::addColumn<float>("vLow");
        QTest::addColumn<float>("vHigh");
        QTest::addColumn<float>("s3");
        QTest::addColumn<float>("s4");
        QTest::addColumn<double>("expected");
        QTest::newRow("reduced peak") << 0.05f << 0.3f << 0.8f << 0.8f << 0.195656;
        // By hand: t1 = 0.75, t2 = 0.99167, t3 = 0.6; with S3 and S4 swapped 1.138396.
        QTest::newRow("S3 builds, S4 releases") << 0.0f << 1.0f << 0.8f << 1.0f << 1.203271;
        QTest::newRow("equal speeds") << 0.4f << 0.4f << 0.8f << 0.8f << 0.0;
    }
    void decelDistance() {
        QFETCH(float, vLow);
        QFETCH(float, vHigh);
        QFETCH(double, expected);
        SimModule m;
        QFETCH(float, s3);
        QFETCH(float, s4);
        editInputs(m, [&](TravelInputs& in) {
            in.S3 = s3;
            in.S4 = s4;
            in.NA = 0.6f;
            in.S2 = 123.0f; // the deceleration starts from rest: S2 must not enter
        });
        QVERIFY(near(m.decelDistance(vLow, vHigh), expected, 2e-6));
    }

    void fitExamples() {
        SimModule m;
        editInputs(m, [](TravelInputs& in) { in.S2 = 0.8f; });
        // Stopping: 0.8 predicts 0.0354 m for 0.05 m, 0.4 hits it. A prediction left
        // over that happens to hit the target must not count for the untried 0.8.
        m.state.predictionReady = true;
        m.state.predictedEnd = 0.05f;
        std::vector<FitStep> trace;
        JerkFit fit = m.fitJerk(0.1f, 0.0f, 0.05f, &trace);
        QCOMPARE(fit.evaluations, 2);
        QCOMPARE(fit.jerk, 0.4f);
        QVERIFY(near(trace[0].predicted, 0.0353553, 1e-5));

        // Slowing 1.0 -> 0.1 m/s over 1.2 m (exact: 0.75625; 1 mm is worth 0.0013).
        trace.clear();
        fit = m.fitJerk(1.0f, 0.1f, 1.2f, &trace);
        QVERIFY(fit.converged && fit.evaluations >= 8 && fit.evaluations <= 12);
        QVERIFY(near(fit.jerk, 0.75625, 0.0013));
        // By hand: 0.8 is short: halve. 0.4 is long: double, then shrink the factor to
        // 1.7. 0.8 is short again: shrink to 1.49 first, then divide.
        QCOMPARE(QList<float>({trace[1].jerk, trace[2].jerk}), QList<float>({0.4f, 0.8f}));
        QVERIFY(near(trace[3].jerk, 0.8 / 1.49, 1e-6));

        // A target behind the start is never reached: the jerk stops at its limit.
        fit = m.fitJerk(0.1f, 0.0f, -0.01f);
        QVERIFY(fit.evaluations == SimModule::MaxFitEvaluations && fit.jerk == SimModule::MaxJerk);
    }

    void fitThatCannotEnd() {
        // V3 = V0 leaves no slowing to fit, V0 = 0 no stopping: the fit ends at S2.
        for (const bool slowing : {true, false}) {
            Model f(0);
            editInputs(f.m, [slowing](TravelInputs& in) {
                in.S2 = 0.65432f;
                in.speedTable[slowing ? 3 : 0] = slowing ? 0.1f : 0.0f;
            });
            f.m.prepareTravel(); // a search that never ended would hang here
            const JerkFit& fit = slowing ? f.m.slowingFit : f.m.stoppingFit;
            QVERIFY(!fit.converged && fit.jerk == 0.65432f);
            QCOMPARE(f.controls.text(slowing ? StopModeBox::SlowingS : StopModeBox::StoppingS),
                     QStringLiteral("0.6543"));
        }
    }

    void eachCurveSegmentHasItsJerk() {
        // By speed and acceleration the slowing from V3 is the S-curve, so all four
        // jerks shape the default travel; the fixture's four are distinct.
        Model f(1);
        f.m.setDefaultTravel();
        int seen[4] = {};
        for (const TravelState& s : f.trace()) {
            if (s.phase != TravelPhase::Travel || s.appliedJerk == 0.0f)
                continue;
            // Building or ending an acceleration, building or ending a deceleration.
            const int segment = s.appliedJerk > 0.0f ? (s.a >= 0.0f ? 0 : 3) : (s.a > 0.0f ? 1 : 2);
            const TravelInputs& in = f.m.inputs();
            const float expected[4] = {in.S1, -in.S2, -in.S3, in.S4};
            QCOMPARE(s.appliedJerk, expected[segment]);
            ++seen[segment];
        }
        for (int segment = 0; segment < 4; ++segment)
            QVERIFY2(seen[segment] > 0, qPrintable(QString::number(segment)));
    }

    void commandGone_data() {
        QTest::addColumn<float>("until");
        QTest::addColumn<QList<int>>("phases");
        QTest::newRow("before the brake opens")
            << 1.2f << QList<int>{P::Idle, P::Release, P::BrakeOpening, P::Idle};
        QTest::newRow("during the start ramp")
            << 1.4f << QList<int>{P::Idle,   P::Release,      P::BrakeOpening, P::StartRamp,
                                  P::Travel, P::BrakeClosing, P::Idle};
    }
    void commandGone() {
        QFETCH(float, until);
        QFETCH(QList<int>, phases);
        Model f;
        f.m.addSignal(1, 1.0f, until);
        QCOMPARE(phaseSequence(f.trace()), phases);
    }

    void defaultTravel_data() {
        QTest::addColumn<int>("stopMode");
        QTest::newRow("by distance") << 0;
        QTest::newRow("by speed and acceleration") << 1;
    }
    void defaultTravel() {
        QFETCH(int, stopMode);
        Model f(stopMode);
        f.m.setDefaultTravel();
        const Trace trace = f.trace();
        // Both modes stop by distance from V0; by distance, the slowing to V0 is one too.
        const QList<int> slowdown{P::Slowdown, P::DecelIn, P::DecelOut, P::Travel};
        const QList<int> expected = QList<int>{P::Idle,      P::Release,   P::BrakeOpening,
                                               P::StartRamp, P::StartHold, P::Travel} +
                                    (stopMode == 0 ? slowdown + slowdown : slowdown) +
                                    QList<int>{P::BrakeClosing, P::Idle};
        QCOMPARE(phaseSequence(trace), expected);
        const int atV3 = findStep(trace, &TravelState::v, f.m.inputs().speedTable[3]);
        QVERIFY(atV3 > 0 && trace[atV3].t < 9.0f);
        QVERIFY(findStep(trace, &TravelState::v, f.m.inputs().speedTable[0], atV3) > atV3);

        // A slowdown from exactly V3 or V0 (both modes stop from V0; mode 0 also slows
        // from V3): no correction, the box's jerk throughout, and it ends a few
        // millimetres from its distance (1 ms steps end it about 4 mm short of the
        // continuous prediction the fit aims with).
        const auto check = [&](short request, StopModeBox box, StopModeBox distanceBox) {
            const int set = findStep(trace, &TravelState::stopRequest, request);
            QVERIFY(set > 0);
            QVERIFY(near(trace[set].t, request == 1 ? 9.0 : 13.0, 0.02));
            QVERIFY(!trace[set + 1].correctionEnabled);
            const int end = findStep(trace, &TravelState::stopRequest, short(0), set);
            for (int i = set + 2; i < end; ++i)
                QCOMPARE(trace[i].stopJerk, f.controls.text(box).toFloat());
            QVERIFY(near(trace[end].x - trace[set + 1].x,
                         f.controls.text(distanceBox).toFloat() / 100, 0.005));
        };
        if (stopMode == 0)
            check(1, StopModeBox::SlowingS, StopModeBox::SlowingDistance);
        check(2, StopModeBox::StoppingS, StopModeBox::StoppingDistance);

        // Standstill, the brake closes for mb_off, then Idle with x back at 0.
        const int closing = findStep(trace, &TravelState::phase, TravelPhase::BrakeClosing);
        QVERIFY(trace[closing].v == 0.0f && trace[closing].x > 6.0f);
        const int idle = findStep(trace, &TravelState::phase, TravelPhase::Idle, closing);
        QVERIFY(near(trace[idle].t - trace[closing].t, 0.3, 0.0025));
        QCOMPARE(trace[idle + 1].x, 0.0f); // Idle acts from the next step
    }

    void correctedSlowing_data() { defaultTravel_data(); }
    void correctedSlowing() {
        QFETCH(int, stopMode);
        Model f(stopMode);
        f.m.addSignal(0, 1.0f, 13.0f);
        f.m.addSignal(3, 1.0f, 3.5f); // V3 would be reached only after 5 s
        const Trace first = f.trace();
        const Trace trace = f.trace();
        // A second run is the same travel.
        QVERIFY(trace.size() == first.size() && trace.back().x == first.back().x);

        const int set = findStep(trace, &TravelState::stopRequest, short(1));
        QVERIFY(trace[set].a > 0.0f && trace[set].v < 1.0f);
        QVERIFY(trace[set + 1].correctionEnabled);
        const int start = set + 2; // first DecelIn step
        const QList<int> used = corrections(trace, start);
        QVERIFY(used.size() >= 3);
        QCOMPARE(used.first(), 49);
        for (int k = 1; k < used.size(); ++k)
            QCOMPARE(used[k] - used[k - 1], 50);
        // Short, long, short: lower at f = 2 without shrinking; each change of
        // direction shrinks f (to 1.7, then 1.49) before applying it.
        const auto ratio = [&](int k) {
            const int i = start + used[k] - 1;
            return double(trace[i].stopJerk) / trace[i - 1].stopJerk;
        };
        QVERIFY(near(ratio(0), 0.5, 1e-6));
        QVERIFY(near(ratio(1), 1.7, 1e-6));
        QVERIFY(near(ratio(2), 1 / 1.49, 1e-6));
        const int end = findStep(trace, &TravelState::stopRequest, short(0), set);
        QVERIFY(near(trace[end].v, 0.1, 0.002));
    }

    void samplesEveryTenthStep() {
        Model f(0); // 60 s: beyond 32.768 s a 16-bit step count would wrap
        f.m.setDefaultTravel();
        f.m.addSignal(0, 35.0f, 55.0f);
        f.m.addSignal(3, 35.0f, 50.0f);
        f.m.setDuration(60.0f);
        const auto trace = f.trace(); // every step of the same run
        const Run run(f.m);
        QVERIFY(run.report.ran && run.started && run.report.refusal.isEmpty());
        QCOMPARE(run.report.steps, std::int64_t(trace.size()));
        QVERIFY(std::abs(run.report.steps - 60000) < 40);
        QCOMPARE(std::int64_t(run.samples.size()), (run.report.steps + 9) / 10);
        for (std::size_t i = 0; i < run.samples.size(); ++i) {
            const TravelSample& s = run.samples[i];
            const TravelState& r = trace[10 * i];
            QVERIFY(s.t == r.t && s.x == r.x && s.v == r.v && s.a == r.a && s.phase == r.phase &&
                    s.stopRequest == r.stopRequest);
        }
        QVERIFY(run.samples.back().t > 59.989f);
    }

    // Far beyond any offered duration a 1 ms step no longer moves the single-precision
    // clock: the run ends there instead of stepping for ever.
    void runEndsWhereTheClockStops() {
        Model f;
        f.m.setDuration(std::numeric_limits<float>::infinity());
        const RunReport report = f.m.simulate(nullptr, LangModule(QString()), nullptr);
        QVERIFY(report.ran && f.m.state.t + SimModule::Dt == f.m.state.t);
        QVERIFY(report.steps < 40'000'000);
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
        const std::map<QString, float TravelInputs::*> zeroed = {{"S2", &TravelInputs::S2},
                                                                 {"S3", &TravelInputs::S3},
                                                                 {"S4", &TravelInputs::S4},
                                                                 {"NA", &TravelInputs::NA}};
        if (zeroed.count(input)) {
            editInputs(f.m, [&](TravelInputs& in) { in.*zeroed.at(input) = 0.0f; });
        } else if (input == u"D") {
            f.m.setDuration(0.0f);
        } else if (input == u"fitted jerk") {
            editInputs(f.m, [](TravelInputs& in) {
                in.speedTable[3] = in.speedTable[0];
                in.S2 = 0.00001f;
            });
        } else if (input.contains(u"slowing")) {
            f.controls.setText(StopModeBox::SlowingDistance, QStringLiteral("abc"));
        } else {
            f.controls.setText(StopModeBox::StoppingDistance, QString());
        }
        const Run run(f.m);
        const bool refused = !cause.isEmpty();
        QCOMPARE(run.report.ran, !refused);
        QCOMPARE(run.started, !refused);
        QCOMPARE(run.samples.empty(), refused); // nothing from half a run
        QCOMPARE(run.report.refusal.isEmpty(), !refused);
        QVERIFY(run.report.refusal.contains(cause)); // names the input
    }

    void catalogueFeedsInputs() {
        Program p(QStringLiteral("UK-English.lng"));
        SimModule& m = p.sim;
        // Distinct values, so that no input can stand in for another. The setter hands
        // over all but the speeds at once; those are read at a run.
        const QStringList ids =
            QString("S1 S2 S3 S4 PA NA VS AS par_tsu mb_on mb_off V0 V2 V3").split(' ');
        // The inputs in the order of `ids`.
        const auto inputs = [](const TravelInputs& in) {
            return QList<float>{in.S1,
                                in.S2,
                                in.S3,
                                in.S4,
                                in.PA,
                                in.NA,
                                in.VS,
                                in.AS,
                                in.startHoldTime,
                                in.brakeOpenDelay,
                                in.brakeCloseDelay,
                                in.speedTable[0],
                                in.speedTable[2],
                                in.speedTable[3]};
        };
        const QList<float> values{0.9f, 1.1f, 1.2f, 1.3f, 1.4f,  1.5f, 0.08f,
                                  0.2f, 0.4f, 0.6f, 0.7f, 0.15f, 0.5f, 1.6f};
        for (int i = 0; i < ids.size(); ++i) {
            const float before = inputs(m.inputs())[i];
            QVERIFY(p.params.setById(ids[i], values[i]));
            QCOMPARE(inputs(m.inputs())[i], i < 11 ? values[i] : before);
        }
        editInputs(m, [](TravelInputs& in) { in.speedTable[4] = 5.0f; });
        const TravelInputs loaded = m.loadTravelParameters(p.params);
        QCOMPARE(inputs(loaded), values);
        QCOMPARE(loaded.speedTable[4], 0.0f);
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
            p.sim.simulate(&p.params, p.lang, nullptr);
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
        QCOMPARE((QList<float>{p.value("slwd"), p.value("stpd")}), (QList<float>{150.0f, 0.0f}));

        // Mode 1: the distances are computed (whole cm) before the run and stored.
        host.ready = true;
        p.controls.setStopModeIndex(1);
        p.sim.stopModeChanged(p.params, host);
        QVERIFY(host.runs == 2 && !p.controls.distancesEnabled());
        QCOMPARE(slowingAtRun, QStringLiteral("138")); // 1.3829 m
        QCOMPARE((QList<float>{p.value("stpmod"), p.value("slwd"), p.value("stpd")}),
                 (QList<float>{1.0f, 138.0f, 3.0f}));

        // Back to mode 0: the boxes open with the last computed distances.
        p.controls.setStopModeIndex(0);
        p.sim.stopModeChanged(p.params, host);
        QVERIFY(p.controls.distancesEnabled());
        QCOMPARE(p.sim.decelTable[3][0], 1.38f);
        QVERIFY(p.prompts.messages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTravelModel)
#include "tst_travelmodel.moc"
