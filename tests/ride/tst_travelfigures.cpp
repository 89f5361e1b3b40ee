// The travel figures on small hand-made tables whose answers are worked out by hand, and
// on a made-up recording against a plain second reading of the definitions (every
// slope fitted afresh through every sample in reach); and how the virtual drive's car
// departs from the model's command.
#include "emulator/CarTravel.h"
#include "ride/TravelFigures.h"
#include "support/RideRecordings.h"

#include <QTest>

namespace {

constexpr double NaN = TravelFigures::None;

// Samples 0.1 s apart from t = 0: speeds in mm/s, currents in 0.1 A (10 when omitted).
QList<RideSample> table(const QList<double>& speeds, const QList<double>& currents = {}) {
    QList<RideSample> out;
    for (qsizetype k = 0; k < speeds.size(); ++k)
        out.append({0.1 * double(k), speeds[k], 0.0, k < currents.size() ? currents[k] : 10.0});
    return out;
}

bool agree(double a, double b) {
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    return std::abs(a - b) <= 1e-6 * std::max({std::abs(a), std::abs(b), 1e-9});
}

// Least-squares slope through the given points, centred; NaN under three points.
double fit(const std::vector<std::pair<double, double>>& points) {
    if (points.size() < 3)
        return NaN;
    double mx = 0, my = 0;
    for (const auto& [x, y] : points) {
        mx += x;
        my += y;
    }
    mx /= double(points.size());
    my /= double(points.size());
    double sxy = 0, sxx = 0;
    for (const auto& [x, y] : points) {
        sxy += (x - mx) * (y - my);
        sxx += (x - mx) * (x - mx);
    }
    return sxy / sxx;
}

// The definitions read once more, literally and slowly.
QList<TravelFigures> reference(const QList<RideSample>& s, double v0) {
    const qsizetype n = s.size();
    std::vector<int> segment(std::size_t(n), 0);
    for (qsizetype i = 1; i < n; ++i)
        segment[i] = segment[i - 1] + (s[i].t <= s[i - 1].t ? 1 : 0);
    const auto same = [&](qsizetype i, qsizetype j) {
        return i >= 0 && j >= 0 && i < n && j < n && segment[i] == segment[j];
    };
    const auto moving = [&](qsizetype i) { return s[i].v >= 10.0; };
    QList<TravelFigures> out;
    for (qsizetype b = 0; b < n; ++b) {
        if (!moving(b) || (same(b - 1, b) && moving(b - 1)))
            continue;
        qsizetype e = b;
        while (same(e + 1, b) && moving(e + 1))
            ++e;
        if (s[e].t - s[b].t < 0.5)
            continue;
        const bool before = same(b - 1, b), after = same(e + 1, b);
        const qsizetype w0 = before ? b - 1 : b, w1 = after ? e + 1 : e;
        TravelFigures f;
        f.first = w0;
        f.count = w1 - w0 + 1;
        f.complete = before && after;
        f.start = s[b].t;
        const double end = f.complete ? s[e + 1].t : s[e].t;
        f.flight = end - f.start;
        f.distance = 0;
        for (qsizetype j = w0; j < w1; ++j)
            f.distance += (s[j + 1].t - s[j].t) * (s[j].v + s[j + 1].v) / 2 / 1000;
        f.vmax = f.ipeak = 0;
        double c2 = 0;
        for (qsizetype j = b; j <= e; ++j) {
            f.vmax = std::max(f.vmax, s[j].v / 1000);
            f.ipeak = std::max(f.ipeak, s[j].c / 10);
            c2 += s[j].c * s[j].c;
        }
        f.irms = std::sqrt(c2 / double(e - b + 1)) / 10;
        std::map<qsizetype, double> accel;
        for (qsizetype k = w0; k <= w1; ++k) {
            std::vector<std::pair<double, double>> points;
            for (qsizetype j = w0; j <= w1; ++j)
                if (std::abs(s[j].t - s[k].t) <= 0.15)
                    points.push_back({s[j].t, s[j].v / 1000});
            if (const double a = fit(points); !std::isnan(a)) {
                accel[k] = a;
                f.amax = std::isnan(f.amax) ? a : std::max(f.amax, a);
                f.dmax = std::isnan(f.dmax) ? -a : std::max(f.dmax, -a);
            }
        }
        for (qsizetype k = w0; k <= w1; ++k) {
            std::vector<std::pair<double, double>> points;
            for (const auto& [j, a] : accel)
                if (std::abs(s[j].t - s[k].t) <= 0.15)
                    points.push_back({s[j].t, a});
            if (const double jerk = fit(points); !std::isnan(jerk))
                f.jmax = std::isnan(f.jmax) ? std::abs(jerk) : std::max(f.jmax, std::abs(jerk));
        }
        qsizetype m = -1;
        for (qsizetype j = b; j <= e; ++j)
            if (s[j].v > 1250 * v0)
                m = j;
        f.creep = m < 0 ? f.flight : m == w1 ? 0.0 : end - s[m + 1].t;
        out.append(f);
    }
    return out;
}

void compare(const TravelFigures& got, const TravelFigures& want) {
    QCOMPARE(got.first, want.first);
    QCOMPARE(got.count, want.count);
    QCOMPARE(got.complete, want.complete);
    const std::pair<const char*, double TravelFigures::*> figures[] = {
        {"start", &TravelFigures::start},       {"flight", &TravelFigures::flight},
        {"distance", &TravelFigures::distance}, {"vmax", &TravelFigures::vmax},
        {"amax", &TravelFigures::amax},         {"dmax", &TravelFigures::dmax},
        {"jmax", &TravelFigures::jmax},         {"creep", &TravelFigures::creep},
        {"ipeak", &TravelFigures::ipeak},       {"irms", &TravelFigures::irms}};
    for (const auto& [name, member] : figures)
        QVERIFY2(agree(got.*member, want.*member), qPrintable(QStringLiteral("%1 at %2: %3, not %4")
                                                                  .arg(QLatin1String(name))
                                                                  .arg(want.start)
                                                                  .arg(got.*member, 0, 'g', 17)
                                                                  .arg(want.*member, 0, 'g', 17)));
}

// A command: 0.5 s standing, a step to 1 m/s for 2 s, 1 s at 0.1 m/s, standing.
QList<CarSample> stepCommand() {
    QList<CarSample> out;
    for (int k = 0; k < 400; ++k)
        out.append({k < 50 ? 0.0f : k < 250 ? 1.0f : k < 350 ? 0.1f : 0.0f, 0.0f});
    return out;
}

double speedAt(const QList<CarSample>& travel, double t) {
    return travel.value(qsizetype(std::lround(t / CarTravel::SampleEvery))).v;
}

} // namespace

class TestTravelFigures : public QObject {
    Q_OBJECT
private slots:
    void handMade_data() {
        QTest::addColumn<QList<RideSample>>("samples");
        QTest::addColumn<double>("v0");
        QTest::addColumn<int>("travels");
        // Figures of the first travel: complete (1/0), start, flight, distance, vmax,
        // amax, dmax, jmax, creep, ipeak, irms.
        QTest::addColumn<QList<double>>("want");

        const QList<double> up = {0, 100, 200, 300, 300, 200, 100, 0};
        const QList<double> amps = {10, 20, 30, 40, 40, 30, 20, 10};
        const double rms = std::sqrt(5800.0 / 6) / 10;
        QTest::newRow("complete, creeping after the last sample above 1.25 V0")
            << table(up, amps) << 0.1 << 1
            << QList<double>{1, 0.1, 0.6, 0.12, 0.3, 1, 1, 7.5, 0.1, 4, rms};
        QTest::newRow("a blip under half a second is no travel")
            << table({0, 100, 200, 300, 200, 0}) << 0.1 << 0 << QList<double>{};
        QTest::newRow("cut short at the end: ends at the last sample, no creep")
            << table({0, 100, 200, 300, 300, 300, 300}) << 0.1 << 1
            << QList<double>{0, 0.1, 0.5, 0.135, 0.3, 1, 0, 5, 0, 1, 1};
        QTest::newRow("cut short at the start: ends at the last moving sample")
            << table({300, 300, 300, 300, 200, 100, 0}) << 0.2 << 1
            << QList<double>{0, 0, 0.5, 0.135, 0.3, 0, 1, 5, 0.1, 1, 1};
        QList<RideSample> sparse = table({0, 200, 400, 400, 200, 0});
        for (RideSample& s : sparse)
            s.t *= 2;
        QTest::newRow("samples too far apart for a derivative")
            << sparse << 0.1 << 1 << QList<double>{1, 0.2, 0.8, 0.24, 0.4, NaN, NaN, NaN, 0, 1, 1};
    }

    void handMade() {
        QFETCH(QList<RideSample>, samples);
        QFETCH(double, v0);
        QFETCH(int, travels);
        QFETCH(QList<double>, want);
        const QList<TravelFigures> got = Ride::measureTravels(samples, v0);
        QCOMPARE(got.size(), travels);
        if (travels == 0)
            return;
        TravelFigures expected;
        expected.first = got[0].first;
        expected.count = got[0].count;
        expected.complete = want[0] != 0;
        double* fields[] = {&expected.start, &expected.flight, &expected.distance, &expected.vmax,
                            &expected.amax,  &expected.dmax,   &expected.jmax,     &expected.creep,
                            &expected.ipeak, &expected.irms};
        for (int k = 0; k < 10; ++k)
            *fields[k] = want[k + 1];
        compare(got[0], expected);
    }

    void figuresAgreeWithTheDefinitions_data() {
        QTest::addColumn<int>("rate");
        QTest::addColumn<double>("restartEvery");
        QTest::addColumn<double>("v0");
        QTest::newRow("100 a second, two restarts") << 100 << 130.0 << 0.05;
        QTest::newRow("50 a second, V0 above the creep") << 50 << 0.0 << 1.0;
        QTest::newRow("8 a second: slopes through few samples") << 8 << 77.0 << 0.05;
    }

    void figuresAgreeWithTheDefinitions() {
        QFETCH(int, rate);
        QFETCH(double, restartEvery);
        QFETCH(double, v0);
        const QList<RideSample> samples = RideRecordings::travels(300, rate, restartEvery);
        const QList<TravelFigures> want = reference(samples, v0);
        const QList<TravelFigures> got = Ride::measureTravels(samples, v0);
        QVERIFY(want.size() >= 10);
        QCOMPARE(got.size(), want.size());
        for (qsizetype k = 0; k < got.size(); ++k)
            compare(got[k], want[k]);
    }

    void liveFinderGivesTheSameTravels() {
        const QList<RideSample> samples = RideRecordings::travels(200, 50, 61.0);
        const QList<TravelFigures> want = Ride::measureTravels(samples, 0.05);
        TravelFinder finder;
        TravelFinder::Run run;
        QList<TravelFigures> got;
        for (const RideSample& s : samples) {
            if (finder.add(s, &run)) {
                const MeasuredTravel travel = run.measure(0.05);
                QCOMPARE(travel.window.size(), travel.figures.count);
                QCOMPARE(travel.window.first().t, samples[want[got.size()].first].t);
                got.append(travel.figures);
            }
        }
        if (finder.finish(&run))
            got.append(run.measure(0.05).figures);
        QCOMPARE(got.size(), want.size());
        for (qsizetype k = 0; k < got.size(); ++k) {
            got[k].first = want[k].first;
            compare(got[k], want[k]);
        }
    }

    void followsTheCommand_data() {
        QTest::addColumn<double>("lag");
        QTest::addColumn<double>("creep");
        QTest::addColumn<double>("at");    // s
        QTest::addColumn<double>("speed"); // m/s expected there, ±1 mm/s
        QTest::newRow("no lag: the command itself") << 0.0 << 0.0 << 0.6 << 1.0;
        QTest::newRow("one time constant after the step")
            << 0.15 << 0.0 << 0.64 << 1 - std::exp(-1.0);
        QTest::newRow("creeping where the command stops") << 0.0 << 0.4 << 3.7 << 0.1;
        QTest::newRow("stopped after the added creep") << 0.0 << 0.4 << 3.9 << 0.0;
    }

    void followsTheCommand() {
        QFETCH(double, lag);
        QFETCH(double, creep);
        QFETCH(double, at);
        QFETCH(double, speed);
        const QList<CarSample> car = CarTravel::follow(stepCommand(), 0.1, {lag, creep, 0.001, 7});
        QVERIFY2(std::abs(speedAt(car, at) - speed) <= 0.0011,
                 qPrintable(QString::number(speedAt(car, at))));
        QCOMPARE(car.last().v, 0.0f);
    }
};

QTEST_GUILESS_MAIN(TestTravelFigures)
#include "tst_travelfigures.moc"
