// liftdrive-profile --travels as scripts use it: its lines for travels worked out by hand,
// where V0 comes from, and its exit status for what is no recording.
#include "params/ParamFiles.h"
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

// A travel of seven samples 0.1 s apart, then (the times starting again) one sampled
// too sparsely for derived figures; the figures are worked out by hand.
void TestProfileTravels::linesAreTheFiguresMeasured_data() {
    QTest::addColumn<QStringList>("more");
    QTest::addColumn<QString>("creep"); // of the first travel, which V0 decides
    // Above 1.25 V0 until 0.4 s: creeping from 0.5 s to the stop at 0.7 s.
    QTest::newRow("--v0") << QStringList{"--v0", "0.2"} << "0.2";
    // No sample above 1.25 V0: all of the flight counts as creep.
    QTest::newRow("--params") << QStringList{"--params", "@V0=0.3"} << "0.6";
    QTest::newRow("the factory set, V0 = 0.1") << QStringList() << "0.1";
}

void TestProfileTravels::linesAreTheFiguresMeasured() {
    QFETCH(QStringList, more);
    QFETCH(QString, creep);
    QTemporaryDir dir;
    const QByteArray recording = RideRecordings::csv({{0, 0, 0, 10},
                                                      {0.1, 100, 0, 20},
                                                      {0.2, 200, 0, 30},
                                                      {0.3, 300, 0, 40},
                                                      {0.4, 300, 0, 40},
                                                      {0.5, 200, 0, 30},
                                                      {0.6, 100, 0, 20},
                                                      {0.7, 0, 0, 10},
                                                      {0, 0, 0, 10},
                                                      {0.2, 200, 0, 10},
                                                      {0.4, 400, 0, 10},
                                                      {0.6, 400, 0, 10},
                                                      {0.8, 200, 0, 10},
                                                      {1.0, 0, 0, 10}},
                                                     ',');
    if (more.value(1).startsWith('@')) {
        Program program;
        QVERIFY(program.params.setById("V0", more[1].section('=', 1).toFloat()));
        more[1] = dir.filePath("p.quv");
        QCOMPARE(ParamFiles(program.params).save(more[1]), ParamFiles::Result::Done);
    }
    const ToolOutput r =
        runProfileTool(QStringList{"--travels", write(dir, "r.csv", recording)} + more);
    QCOMPARE(r.exitCode, 0);
    QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], header);
    // Each figure to 9 significant digits at least; an empty one as nan.
    const auto figures = [](const QString& line) {
        QStringList out;
        for (const QString& field : line.split(','))
            out << (field == "nan" ? field : QString::number(field.toDouble(), 'g', 9));
        return out;
    };
    const double rms = std::sqrt(5800.0 / 6) / 10;
    QCOMPARE(figures(lines[1]), QString("0.1,0.6,0.12,0.3,1,1,7.5,%1,4,%2,1")
                                    .arg(creep, QString::number(rms, 'g', 9))
                                    .split(','));
    QCOMPARE(lines[2].split(',').mid(4, 3), QStringList({"nan", "nan", "nan"}));
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
