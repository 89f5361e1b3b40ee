// The virtual drive's car: how it departs from the model's command, and what the
// measured travels of its monitor frames show of it.
#include "emulator/CarTravel.h"
#include "emulator/DriveEmulator.h"
#include "ride/TravelFigures.h"
#include "support/DataFiles.h"

#include <QTest>

namespace {

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

// Frames of the virtual drive, 100 a second for `seconds`, as the recording holds them.
QList<RideSample> frames(const CarTravel::Car& car, double seconds) {
    DriveEmulator drive;
    const QString def = QDir(binFolder()).filePath("params-en.def");
    drive.loadDefaults(DriveEmulator::readScales(def));
    drive.setTravel(CarTravel::fromModel(drive.words(), def, car));
    QList<RideSample> out;
    for (double t = 0.0; t < seconds; t += 0.01) {
        std::uint16_t w[3];
        drive.frameWordsAt(t, &w[0], &w[1], &w[2]);
        out.append({t, double(w[0] > 32767 ? 65536 - w[0] : w[0]), double(w[1]), double(w[2])});
    }
    return out;
}

} // namespace

class TestCarTravel : public QObject {
    Q_OBJECT
private slots:
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

    void measuredTravelsShowTheCar() {
        const QList<RideSample> exact = frames({0.0, 0.0, 0.0, 1}, 40.0);
        const QList<RideSample> real = frames({0.15, 0.4, 0.001, 1}, 40.0);
        const QList<TravelFigures> model = Ride::measureTravels(exact, 0.1);
        const QList<TravelFigures> car = Ride::measureTravels(real, 0.1);
        QVERIFY(model.size() >= 2);
        QCOMPARE(car.size(), model.size());
        // The lag delays the end by a few time constants, the creep by what was added.
        QVERIFY(car[0].flight - model[0].flight > 0.4);
        QVERIFY(car[0].flight - model[0].flight < 1.0);
        QVERIFY(std::abs(car[0].creep - model[0].creep - 0.4) < 0.15);
        QVERIFY(std::abs(car[0].vmax - model[0].vmax) <= 0.0015);
        // The first trip goes up, the second down with less current.
        QVERIFY(car[0].ipeak > car[1].ipeak + 1.0);
        QVERIFY(car[1].ipeak > 1.0);
    }
};

QTEST_GUILESS_MAIN(TestCarTravel)
#include "tst_cartravel.moc"
