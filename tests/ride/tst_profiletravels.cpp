// liftdrive-profile --travels as scripts use it: its lines against the figures measured
// in process, where V0 comes from, and its exit status for what is no recording.
#include "params/ParamFiles.h"
#include "ride/TravelFigures.h"
#include "support/ModelFixture.h"
#include "support/ProfileTool.h"
#include "support/RideRecordings.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

const QString header = QStringLiteral("start_s,flight_s,distance_m,vmax_mps,amax_mps2,dmax_mps2,"
                                      "jmax_mps3,creep_s,ipeak_a,irms_a,complete");

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return file.fileName();
}

} // namespace

class TestProfileTravels : public QObject {
    Q_OBJECT
private slots:
    void linesAreTheFiguresMeasured_data();
    void linesAreTheFiguresMeasured();
    void failures_data();
    void failures();
};

void TestProfileTravels::linesAreTheFiguresMeasured_data() {
    QTest::addColumn<QString>("source"); // where V0 comes from: v0, params, defaults
    QTest::newRow("--v0") << "v0";
    QTest::newRow("--params") << "params";
    QTest::newRow("the factory set") << "defaults";
}

void TestProfileTravels::linesAreTheFiguresMeasured() {
    QFETCH(QString, source);
    QTemporaryDir dir;
    // Sampled 5 times a second, then (times starting again) 20 times: the first
    // travels are too sparse for derived figures.
    const QList<RideSample> samples =
        RideRecordings::travels(120, 5) + RideRecordings::travels(120, 20);
    QStringList args{"--travels", write(dir, "r.csv", RideRecordings::csv(samples, ','))};
    Program program;
    double v0 = program.value("V0");
    if (source == "v0") {
        v0 = 0.041;
        args << "--v0"
             << "0.041";
    } else if (source == "params") {
        QVERIFY(program.params.setById("V0", 0.02f));
        v0 = double(program.value("V0"));
        ParamFiles files(program.params);
        QCOMPARE(files.save(dir.filePath("p.quv")), ParamFiles::Result::Done);
        args << "--params" << dir.filePath("p.quv");
    }
    const ToolOutput r = runProfileTool(args);
    QCOMPARE(r.exitCode, 0);
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    const QList<TravelFigures> want = Ride::measureTravels(samples, v0);
    QVERIFY(want.size() > 5);
    QCOMPARE(lines.size(), want.size() + 1);
    QCOMPARE(lines[0], header);
    bool someEmpty = false;
    for (qsizetype k = 0; k < want.size(); ++k) {
        const QStringList fields = lines[k + 1].split(',');
        QCOMPARE(fields.size(), 11);
        const TravelFigures& f = want[k];
        const double expected[] = {f.start, f.flight, f.distance, f.vmax,  f.amax,
                                   f.dmax,  f.jmax,   f.creep,    f.ipeak, f.irms};
        for (int i = 0; i < 10; ++i) {
            if (std::isnan(expected[i])) {
                QCOMPARE(fields[i], QStringLiteral("nan"));
                someEmpty = true;
                continue;
            }
            bool ok = false;
            const double got = fields[i].toDouble(&ok);
            QVERIFY2(ok, qPrintable(fields[i]));
            QVERIFY2(std::abs(got - expected[i]) <= 1e-9 * std::abs(expected[i]),
                     qPrintable(lines[k + 1]));
        }
        QCOMPARE(fields[10], f.complete ? QStringLiteral("1") : QStringLiteral("0"));
    }
    QVERIFY(someEmpty);
}

void TestProfileTravels::failures_data() {
    QTest::addColumn<QByteArray>("recording"); // empty: no file at all
    QTest::addColumn<QStringList>("more");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out"); // stdout, or a part of stderr when it failed
    QTest::newRow("no travel: the header alone")
        << RideRecordings::csv({{0, 0, 0, 0}, {0.1, 5, 0, 0}}, '.') << QStringList() << 0
        << header + '\n';
    QTest::newRow("no file") << QByteArray() << QStringList() << 1 << "no such file";
    QTest::newRow("binary") << QByteArray("\x7f"
                                          "ELF\0\0\0\0\x01\n",
                                          10)
                            << QStringList() << 1 << "line 1 is not a sample";
    QTest::newRow("v0 not a number") << RideRecordings::csv({{0, 0, 0, 0}}, '.')
                                     << QStringList{"--v0", "fast"} << 2 << "--v0 takes a speed";
}

void TestProfileTravels::failures() {
    QFETCH(QByteArray, recording);
    QFETCH(QStringList, more);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QTemporaryDir dir;
    const QString path =
        recording.isEmpty() ? dir.filePath("none.csv") : write(dir, "r.csv", recording);
    const ToolOutput r = runProfileTool(QStringList{"--travels", path} + more);
    QCOMPARE(r.exitCode, exitCode);
    if (exitCode == 0)
        QCOMPARE(r.out, out);
    else
        QVERIFY2(r.err.contains(out) && r.out.isEmpty(), qPrintable(r.err));
}

QTEST_GUILESS_MAIN(TestProfileTravels)
#include "tst_profiletravels.moc"
