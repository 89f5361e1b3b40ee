// liftdrive-profile as scripts use it: the built program beside its data files, the
// samples and summary of a run, the lines of --travels for travels worked out by hand
// and where their V0 comes from, and its failures.
#include "params/ParamFiles.h"
#include "support/ModelFixture.h"
#include "support/ProfileTool.h"
#include "support/RideRecordings.h"

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString header = QStringLiteral("start_s,flight_s,distance_m,vmax_mps,amax_mps2,dmax_mps2,"
                                      "jmax_mps3,creep_s,ipeak_a,irms_a,complete");

} // namespace

class TestProfileTool : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    // The tool runs the model the program runs (the same code): what it adds is the
    // reading of its arguments and the summary lines after the samples.
    void argumentsAndSummary() {
        const ToolOutput r = runProfileTool(
            QString("--stop-mode 0 --slowing-cm 130 --stopping-cm 4 --signal 3:1:3 --signal 0:1:8 "
                    "--duration 10")
                .split(' '));
        QCOMPARE(r.exitCode, 0);
        const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.first(), QStringLiteral("t,x,v,a,phase,stopRequest"));
        // 10 s in 10 000 steps of 1 ms, every tenth printed, then the summary.
        QCOMPARE(lines.size(), 1 + 1000 + 5);
        QCOMPARE(lines.mid(1001),
                 QStringList({"# TextSlowingDistance=130", "# TextStoppingDistance=4", lines[1003],
                              lines[1004], "# steps=10000"}));
        QVERIFY(lines[1003].startsWith("# TextSlowingS=0.") &&
                lines[1004].startsWith("# TextStoppingS=0."));
        // The V3 lane took the car above V0, the end of both left it standing.
        double top = 0.0;
        for (const QString& line : lines.mid(1, 1000))
            top = std::max(top, line.section(u',', 2, 2).toDouble());
        QVERIFY(top > 0.5 && lines[1000].section(u',', 2, 2).toDouble() == 0.0);
    }

    // A travel of seven samples 0.1 s apart, then (the times starting again) one sampled
    // too sparsely for derived figures; the figures are worked out by hand.
    void linesAreTheFiguresMeasured_data() {
        QTest::addColumn<QStringList>("more");
        QTest::addColumn<QString>("creep"); // of the first travel, which V0 decides
        // Above 1.25 V0 until 0.4 s: creeping from 0.5 s to the stop at 0.7 s.
        QTest::newRow("--v0") << QStringList{"--v0", "0.2"} << "0.2";
        // No sample above 1.25 V0: all of the flight counts as creep.
        QTest::newRow("--params") << QStringList{"--params", "@V0=0.3"} << "0.6";
        QTest::newRow("the factory set, V0 = 0.1") << QStringList() << "0.1";
    }

    void linesAreTheFiguresMeasured() {
        QFETCH(QStringList, more);
        QFETCH(QString, creep);
        QTemporaryDir dir;
        QList<RideSample> samples;
        const double speeds[] = {0, 100, 200, 300, 300, 200, 100, 0};
        const double amps[] = {10, 20, 30, 40, 40, 30, 20, 10};
        for (int k = 0; k < 8; ++k)
            samples.append({0.1 * k, speeds[k], 0, amps[k]});
        const double sparse[] = {0, 200, 400, 400, 200, 0};
        for (int k = 0; k < 6; ++k)
            samples.append({0.2 * k, sparse[k], 0, 10});
        const QByteArray recording = RideRecordings::csv(samples, ',');
        if (more.value(1).startsWith('@')) {
            Program program;
            QVERIFY(program.params.setById("V0", more[1].section('=', 1).toFloat()));
            more[1] = dir.filePath("p.quv");
            QCOMPARE(ParamFiles(program.params).save(more[1]), ParamFiles::Result::Done);
        }
        QVERIFY(RideRecordings::writeFile(dir.filePath("r.csv"), recording));
        const ToolOutput r = runProfileTool(QStringList{"--travels", dir.filePath("r.csv")} + more);
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

    void failures_data() {
        QTest::addColumn<QStringList>("args");     // "@r.csv": the recording's path
        QTest::addColumn<QByteArray>("recording"); // empty: no file at all
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("text"); // stdout, or a part of stderr when it failed
        const QString usage = QStringLiteral("Usage: liftdrive-profile");
        const auto row = [](const char* name, const QStringList& args, int exitCode,
                            const QString& text, const QByteArray& recording = {}) {
            QTest::newRow(name) << args << recording << exitCode << text;
        };
        row("unknown option", {"--speed", "1"}, 2, usage);
        row("missing value", {"--duration"}, 2, usage);
        row("stop mode 2", {"--stop-mode", "2"}, 2, usage);
        row("lane 4", {"--signal", "4:1:2"}, 2, usage);
        row("ends before start", {"--signal", "1:3:2"}, 2, usage);
        row("huge duration", {"--duration", "1e9"}, 2, usage);
        row("no such file", {"--params", "/no/such/set.quv"}, 1, "set.quv");
        // A value the catalogue refuses is named, and the run (with the catalogue's
        // value in its place) is not passed off as the one asked for.
        row("slowing distance refused", {"--slowing-cm", "-5"}, 1, "1 input value was refused");
        // Refused by the model: the first pack's text, and not even a header on stdout.
        Program p;
        row("duration 0", {"--duration", "0"}, 1,
            p.lang.LangText(TextId::SimZeroInput).arg(p.lang.LangText(TextId::Duration)));
        const QByteArray still = RideRecordings::csv({{0, 0, 0, 0}, {0.1, 5, 0, 0}}, '.');
        row("no travel: the header alone", {"--travels", "@r.csv"}, 0, header + '\n', still);
        row("no recording", {"--travels", "@r.csv"}, 1, "no such file");
        row("binary", {"--travels", "@r.csv"}, 1, "line 1 is not a sample",
            QByteArray("\x7f"
                       "ELF\0\0\0\0\x01\n",
                       10));
        row("v0 not a number", {"--travels", "@r.csv", "--v0", "fast"}, 2, "--v0 takes a speed",
            still);
    }
    void failures() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, recording);
        QFETCH(int, exitCode);
        QFETCH(QString, text);
        QTemporaryDir dir;
        args.replaceInStrings("@r.csv", dir.filePath("r.csv"));
        QVERIFY(recording.isEmpty() || RideRecordings::writeFile(dir.filePath("r.csv"), recording));
        const ToolOutput r = runProfileTool(args);
        QCOMPARE(r.exitCode, exitCode);
        if (exitCode == 0)
            QCOMPARE(r.out, text);
        else
            QVERIFY2(r.err.contains(text) && r.out.isEmpty(), qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(TestProfileTool)
#include "tst_profiletool.moc"
