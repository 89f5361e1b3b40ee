// The travel model on its own: commands, deceleration distances, the predictor and
// its cadence, the jerk fit, and whole travels stepped 1 ms at a time.
#include "ModelFixture.h"

#include <QLocale>
#include <QTest>
#include <cmath>

namespace {

QList<int> phaseSequence(const std::vector<StepRecord>& trace) {
    QList<int> phases;
    for (const StepRecord& r : trace)
        if (phases.isEmpty() || phases.last() != r.phase)
            phases << r.phase;
    return phases;
}

// DecelIn steps (1-based from `start`) at which a prediction was used: the jerk
// changed or the correction switched itself off.
QList<int> corrections(const std::vector<StepRecord>& trace, int start) {
    QList<int> steps;
    for (int i = start + 1; i < int(trace.size()) && trace[std::size_t(i)].phase == 9; ++i) {
        const StepRecord &prev = trace[std::size_t(i - 1)], &cur = trace[std::size_t(i)];
        if (cur.stopJerk != prev.stopJerk || cur.correctionEnabled != prev.correctionEnabled)
            steps << i - start + 1;
    }
    return steps;
}

bool near(double value, double expected, double tolerance) {
    if (std::fabs(value - expected) < tolerance)
        return true;
    qWarning("%.9g is not %.9g", value, expected);
    return false;
}

} // namespace

class TestTravelModel : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void commandAt_data();
    void commandAt();
    void decelDistance_data();
    void decelDistance();
    void shownDistances();
    void jerkText_data();
    void jerkText();
    void predictorCadence_data();
    void predictorCadence();
    void fitExamples();
    void fitThatCannotEnd_data();
    void fitThatCannotEnd();
    void positionUsesNewSpeed();
    void phases_data();
    void phases();
    void defaultTravel_data();
    void defaultTravel();
    void correctedSlowing_data();
    void correctedSlowing();
    void slowdownIgnoresEarlierSnapshot();
};

void TestTravelModel::commandAt_data() {
    QTest::addColumn<float>("duration");
    QTest::addColumn<float>("t");
    QTest::addColumn<QList<int>>("flags"); // pairs: sample, flag
    QTest::addColumn<int>("expected");
    QTest::newRow("V0 and V3: highest wins") << 15.0f << 1.5f << QList<int>{100, 0, 100, 3} << 3;
    QTest::newRow("no flag") << 15.0f << 1.5f << QList<int>{99, 1, 101, 2} << 4;
    QTest::newRow("t = 0") << 15.0f << 0.0f << QList<int>{0, 1, 1, 2} << 1;
    QTest::newRow("negative t") << 15.0f << -0.5f << QList<int>{0, 2} << 2;
    QTest::newRow("just below D: sample 1000")
        << 15.0f << std::nextafter(15.0f, 0.0f) << QList<int>{999, 1, 1000, 2, 1001, 3} << 2;
    QTest::newRow("2.5 goes to 2") << 10.0f << 0.025f << QList<int>{2, 1, 3, 2} << 1;
    QTest::newRow("3.5 goes to 4") << 10.0f << 0.035f << QList<int>{3, 2, 4, 3} << 3;
    QTest::newRow("beyond the table") << 15.0f << 200.0f << QList<int>{10000, 0} << 0;
}

void TestTravelModel::commandAt() {
    QFETCH(float, duration);
    QFETCH(float, t);
    QFETCH(QList<int>, flags);
    QFETCH(int, expected);
    SimModule m;
    m.D = duration;
    for (int i = 0; i + 1 < flags.size(); i += 2)
        m.signalTable[std::size_t(flags[i])][std::size_t(flags[i + 1])] = 1;
    QCOMPARE(int(m.commandAt(t)), expected);
}

void TestTravelModel::decelDistance_data() {
    QTest::addColumn<float>("vLow");
    QTest::addColumn<float>("vHigh");
    QTest::addColumn<float>("s3");
    QTest::addColumn<float>("s4");
    QTest::addColumn<float>("na");
    QTest::addColumn<double>("expected");
    QTest::newRow("reaches NA") << 0.1f << 1.0f << 0.8f << 0.8f << 0.6f << 1.2375;
    QTest::newRow("reduced peak") << 0.05f << 0.3f << 0.8f << 0.8f << 0.6f << 0.195656;
    // By hand: t1 = 1, t2 = 1.25, t3 = 0.5.
    QTest::newRow("S3 builds, S4 releases") << 0.0f << 1.0f << 0.5f << 1.0f << 0.5f << 1.484375;
    QTest::newRow("swapped") << 0.0f << 1.0f << 1.0f << 0.5f << 0.5f << 1.265625;
    QTest::newRow("equal speeds") << 0.4f << 0.4f << 0.8f << 0.8f << 0.6f << 0.0;
    QTest::newRow("upper below lower") << 1.0f << 0.1f << 0.8f << 0.8f << 0.6f << 0.0;
}

void TestTravelModel::decelDistance() {
    QFETCH(float, vLow);
    QFETCH(float, vHigh);
    QFETCH(float, s3);
    QFETCH(float, s4);
    QFETCH(float, na);
    QFETCH(double, expected);
    SimModule m;
    m.S3 = s3;
    m.S4 = s4;
    m.NA = na;
    m.S2 = 123.0f; // the deceleration starts from rest: S2 must not enter
    QVERIFY(near(m.decelDistance(vLow, vHigh), expected, 2e-6));
}

void TestTravelModel::shownDistances() {
    Model f(1);
    f.m.S2 = f.m.S3 = f.m.S4 = 0.8f;
    f.m.NA = 0.6f;
    f.m.prepareTravel();
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j)
            if (f.m.speedTable[i] <= f.m.speedTable[j])
                QCOMPARE(f.m.decelTable[i][j], 0.0f);
    QVERIFY(near(f.m.decelTable[0][4], 0.0353553, 1e-6)); // reduced peak from 0.1 m/s
    // 1.2375 m and 3.54 cm, rounded down to whole centimetres.
    QCOMPARE(f.controls.text(StopModeBox::SlowingDistance), QStringLiteral("123"));
    QCOMPARE(f.controls.text(StopModeBox::StoppingDistance), QStringLiteral("3"));
    // The fit aims at what the box shows, 1.23 m, not at 1.2375 m.
    f.m.state.snapshot = {0.0f, 1.0f, 0.0f, 0.1f, f.m.slowingJerk};
    f.m.state.snapshotValid = true;
    f.m.state.predictorCalls = 49;
    f.m.predictStopEnd();
    QVERIFY(near(f.m.state.predictedEnd, 1.23, 0.001));
}

void TestTravelModel::jerkText_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<float>("jerk");
    QTest::addColumn<QString>("text");
    QTest::newRow("4 decimals") << "C" << 0.812345f << "0.8123";
    QTest::newRow("decimal comma") << "tr_TR" << 0.812345f << "0,8123";
    // 1/32 and 3/32 are exact: 312.5 and 937.5 go to the even neighbour.
    QTest::newRow("312.5 to 312") << "C" << 0.03125f << "0.0312";
    QTest::newRow("937.5 to 938") << "C" << 0.09375f << "0.0938";
}

void TestTravelModel::jerkText() {
    QFETCH(QString, locale);
    QFETCH(float, jerk);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale(locale));
    QCOMPARE(SimModule::jerkText(jerk), text);
}

void TestTravelModel::predictorCadence_data() {
    QTest::addColumn<quint32>("start");
    QTest::addColumn<QList<int>>("computingCalls");
    QTest::newRow("from 0") << quint32(0) << QList<int>{50, 100, 150};
    QTest::newRow("from 1") << quint32(1) << QList<int>{49, 99, 149};
    QTest::newRow("across 2^32") << quint32(4294967240u) << QList<int>{10, 60, 110};
}

void TestTravelModel::predictorCadence() {
    QFETCH(quint32, start);
    QFETCH(QList<int>, computingCalls);
    SimModule m;
    m.state.snapshot = {0.0f, 1.0f, 0.0f, 0.1f, 0.8f};
    m.state.snapshotValid = true;
    m.state.predictorCalls = start;
    QList<int> seen;
    for (int call = 1; call <= 150; ++call) {
        m.predictStopEnd();
        if (m.state.predictionReady) {
            seen << call;
            // t1 = tau = sqrt(0.9 / 0.8) s
            QVERIFY(near(m.state.predictedEnd, 1.16673, 1e-5));
            m.state.predictionReady = false;
        }
    }
    QCOMPARE(seen, computingCalls);
    // No prediction when the end speed is not below the speed.
    m.state.snapshot.endSpeed = 1.0f;
    for (int call = 0; call < 50; ++call)
        m.predictStopEnd();
    QVERIFY(!m.state.predictionReady);
}

void TestTravelModel::fitExamples() {
    SimModule m;
    m.S2 = 0.8f;
    // Stopping: 0.8 predicts 0.0354 m for 0.05 m, 0.4 hits it. A prediction left
    // over that happens to hit the target must not count for the untried 0.8.
    m.state.predictionReady = true;
    m.state.predictedEnd = 0.05f;
    std::vector<FitStep> trace;
    JerkFit fit = m.fitJerk(0.1f, 0.0f, 0.05f, &trace);
    QCOMPARE(fit.evaluations, 2);
    QCOMPARE(fit.jerk, 0.4f);
    QVERIFY(near(trace[0].predicted, 0.0353553, 1e-5));
    QCOMPARE(m.state.predictorCalls % 50, 1u); // one call past the last evaluation

    // Slowing 1.0 -> 0.1 m/s over 1.2 m (exact: 0.75625; 1 mm is worth 0.0013).
    trace.clear();
    fit = m.fitJerk(1.0f, 0.1f, 1.2f, &trace);
    QVERIFY(fit.converged);
    QVERIFY(fit.evaluations >= 8 && fit.evaluations <= 12);
    QVERIFY(near(trace.back().predicted, 1.2, 0.001));
    QVERIFY(near(fit.jerk, 0.75625, 0.0013));
    // By hand: 0.8 is short: halve. 0.4 is long: double, then shrink the factor to
    // 1.7. 0.8 is short again: shrink to 1.49 first, then divide.
    QCOMPARE(trace[1].jerk, 0.4f);
    QCOMPARE(trace[2].jerk, 0.8f);
    QVERIFY(near(trace[3].jerk, 0.8 / 1.49, 1e-6));

    // A target behind the start is never reached: the jerk stops at its limit.
    fit = m.fitJerk(0.1f, 0.0f, -0.01f);
    QCOMPARE(fit.evaluations, SimModule::MaxFitEvaluations);
    QCOMPARE(fit.jerk, SimModule::MaxJerk);
}

void TestTravelModel::fitThatCannotEnd_data() {
    QTest::addColumn<float>("v3");
    QTest::addColumn<float>("v0");
    QTest::addColumn<int>("box");
    QTest::newRow("V3 equals V0") << 0.3f << 0.3f << int(StopModeBox::SlowingS);
    QTest::newRow("V3 below V0") << 0.2f << 0.3f << int(StopModeBox::SlowingS);
    QTest::newRow("V0 is 0") << 1.0f << 0.0f << int(StopModeBox::StoppingS);
}

void TestTravelModel::fitThatCannotEnd() {
    QFETCH(float, v3);
    QFETCH(float, v0);
    QFETCH(int, box);
    Model f(0);
    f.m.S2 = 0.65432f;
    f.m.speedTable[3] = v3;
    f.m.speedTable[0] = v0;
    f.m.prepareTravel(); // a search that never ended would hang here
    const JerkFit& fit =
        StopModeBox(box) == StopModeBox::SlowingS ? f.m.slowingFit : f.m.stoppingFit;
    QVERIFY(!fit.converged);
    QCOMPARE(fit.jerk, 0.65432f);
    QCOMPARE(f.controls.text(StopModeBox(box)), QStringLiteral("0.6543"));
}

void TestTravelModel::positionUsesNewSpeed() {
    Model f;
    f.m.brakeCloseDelay = 100.0f;
    f.m.state.phase = TravelPhase::BrakeClosing; // leaves v and a alone
    f.m.state.v = 0.5f;
    f.m.state.a = 2.0f;
    f.m.stepTravel();
    QCOMPARE(f.m.state.v, 0.502f);
    QVERIFY(near(f.m.state.x, 0.000502, 1e-9)); // not 0.0005 from the old speed
}

void TestTravelModel::phases_data() {
    QTest::addColumn<int>("lane");
    QTest::addColumn<float>("until");
    QTest::addColumn<QList<int>>("sequence");
    QTest::newRow("gone before the brake opens") << 0 << 1.2f << QList<int>{11, 12, 13, 11};
    QTest::newRow("gone during the start ramp")
        << 1 << 1.4f << QList<int>{11, 12, 13, 15, 17, 14, 11};
    QTest::newRow("gone during the start hold")
        << 1 << 1.9f << QList<int>{11, 12, 13, 15, 16, 17, 14, 11};
}

void TestTravelModel::phases() {
    QFETCH(int, lane);
    QFETCH(float, until);
    QFETCH(QList<int>, sequence);
    Model f;
    f.m.addSignal(lane, 1.0f, until);
    const auto trace = f.trace();
    QCOMPARE(phaseSequence(trace), sequence);
    // Idle holds the car at 0 whatever came before.
    QCOMPARE(trace.back().x, 0.0f);
    QCOMPARE(trace.back().v, 0.0f);
}

void TestTravelModel::defaultTravel_data() {
    QTest::addColumn<int>("stopMode");
    QTest::newRow("by distance") << 0;
    QTest::newRow("by speed and acceleration") << 1;
}

void TestTravelModel::defaultTravel() {
    QFETCH(int, stopMode);
    Model f(stopMode);
    f.m.setDefaultTravel();
    const auto trace = f.trace();
    const float V0 = f.m.speedTable[0], V3 = f.m.speedTable[3];
    QCOMPARE(phaseSequence(trace),
             stopMode == 0
                 ? (QList<int>{11, 12, 13, 15, 16, 17, 8, 9, 10, 17, 8, 9, 10, 17, 14, 11})
                 : (QList<int>{11, 12, 13, 15, 16, 17, 8, 9, 10, 17, 14, 11}));
    const int atV3 = findStep(trace, [&](const StepRecord& r) { return r.v == V3; });
    QVERIFY(atV3 > 0 && trace[std::size_t(atV3)].t < 9.0f);
    QVERIFY(findStep(
                trace, [&](const StepRecord& r) { return r.v == V0; }, atV3) > atV3);

    // A distance-controlled slowdown (both modes stop from exactly V0; mode 0 also
    // slows from exactly V3): no correction, the box's jerk throughout, and it ends
    // a few millimetres from its distance (the 1 ms steps end it about 4 mm short of
    // the continuous prediction the fit aims with).
    const auto check = [&](short request, StopModeBox box, float distance) {
        const int set =
            findStep(trace, [&](const StepRecord& r) { return r.stopRequest == request; });
        QVERIFY(set > 0);
        QVERIFY(near(trace[std::size_t(set)].t, request == 1 ? 9.0 : 13.0, 0.02));
        const StepRecord& setUp = trace[std::size_t(set + 1)];
        QVERIFY(!setUp.correctionEnabled);
        const int end = findStep(
            trace, [](const StepRecord& r) { return r.stopRequest == 0; }, set);
        for (int i = set + 2; i < end; ++i)
            QCOMPARE(trace[std::size_t(i)].stopJerk, f.controls.text(box).toFloat());
        QVERIFY(near(trace[std::size_t(end)].x - setUp.x, distance, 0.005));
    };
    if (stopMode == 0)
        check(1, StopModeBox::SlowingS, 1.2f);
    else // the S-curve slows from V3
        QCOMPARE(findStep(trace, [](const StepRecord& r) { return r.stopRequest == 1; }), -1);
    check(2, StopModeBox::StoppingS,
          f.controls.text(StopModeBox::StoppingDistance).toFloat() / 100);

    // Standstill, the brake closes for mb_off, then Idle with x back at 0.
    const int closing = findStep(trace, [](const StepRecord& r) { return r.phase == 14; });
    QCOMPARE(trace[std::size_t(closing)].v, 0.0f);
    QVERIFY(trace[std::size_t(closing)].x > 6.0f);
    const int idle = findStep(
        trace, [](const StepRecord& r) { return r.phase == 11; }, closing);
    QVERIFY(near(trace[std::size_t(idle)].t - trace[std::size_t(closing)].t, 0.3, 0.0025));
    QCOMPARE(trace[std::size_t(idle + 1)].x, 0.0f); // Idle acts from the next step
}

void TestTravelModel::correctedSlowing_data() {
    QTest::addColumn<int>("stopMode");
    QTest::newRow("by distance") << 0;
    QTest::newRow("by speed and acceleration") << 1;
}

void TestTravelModel::correctedSlowing() {
    QFETCH(int, stopMode);
    Model f(stopMode);
    f.m.addSignal(0, 1.0f, 13.0f);
    f.m.addSignal(3, 1.0f, 3.5f); // V3 would be reached only after 5 s
    const auto first = f.trace();
    const quint32 callsAfterFirst = f.m.state.predictorCalls;
    const auto trace = f.trace();
    // The count runs on across runs (the fit adds to it) and realigns: both runs are
    // the same travel.
    QVERIFY(f.m.state.predictorCalls > callsAfterFirst);
    QCOMPARE(trace.size(), first.size());
    QCOMPARE(trace.back().x, first.back().x);

    const int set = findStep(trace, [](const StepRecord& r) { return r.stopRequest == 1; });
    QVERIFY(trace[std::size_t(set)].a > 0.0f && trace[std::size_t(set)].v < 1.0f);
    QVERIFY(trace[std::size_t(set + 1)].correctionEnabled);
    const int start = set + 2; // first DecelIn step
    const QList<int> used = corrections(trace, start);
    QVERIFY(used.size() >= 3);
    QCOMPARE(used.first(), 49);
    for (int k = 1; k < used.size(); ++k)
        QCOMPARE(used[k] - used[k - 1], 50);
    // Short, long, short: lower at f = 2 without shrinking; each change of
    // direction shrinks f (to 1.7, then 1.49) before applying it.
    const auto ratio = [&](int k) {
        const std::size_t i = std::size_t(start + used[k] - 1);
        return double(trace[i].stopJerk) / trace[i - 1].stopJerk;
    };
    QVERIFY(near(ratio(0), 0.5, 1e-6));
    QVERIFY(near(ratio(1), 1.7, 1e-6));
    QVERIFY(near(ratio(2), 1 / 1.49, 1e-6));
    const int end = findStep(
        trace, [](const StepRecord& r) { return r.stopRequest == 0; }, set);
    QVERIFY(near(trace[std::size_t(end)].v, 0.1, 0.002));
}

void TestTravelModel::slowdownIgnoresEarlierSnapshot() {
    Model f(0);
    f.m.prepareTravel();
    // A slowing is set up at 0.6 m/s (correction on) with a snapshot of an earlier
    // slowdown still stored and the count one call short of 50.
    TravelState& s = f.m.state;
    s.phase = TravelPhase::Slowdown;
    s.stopRequest = 1;
    s.startCommand = 0;
    s.v = 0.6f;
    s.snapshot = {0.0f, 1.0f, 0.0f, 0.1f, 0.05f};
    s.snapshotValid = true;
    s.predictorCalls = 49;
    f.m.stepTravel();
    f.m.stepTravel(); // first DecelIn step: the 50th call
    QCOMPARE(s.predictorCalls, 50u);
    QVERIFY(s.correctionEnabled);
    QCOMPARE(s.stopJerk, f.controls.text(StopModeBox::SlowingS).toFloat());
}

QTEST_GUILESS_MAIN(TestTravelModel)
#include "tst_travelmodel.moc"
