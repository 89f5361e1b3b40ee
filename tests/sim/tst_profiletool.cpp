// liftdrive-profile as scripts use it: the built program beside its data files, its
// output against the same run in process, and its failures.
#include "support/ModelFixture.h"
#include "support/ProfileTool.h"

#include <QDir>
#include <QLocale>
#include <QTest>

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

    void failures_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("error");
        const QString usage = QStringLiteral("Usage: liftdrive-profile");
        QTest::newRow("unknown option") << QStringList{"--speed", "1"} << 2 << usage;
        QTest::newRow("missing value") << QStringList{"--duration"} << 2 << usage;
        QTest::newRow("stop mode 2") << QStringList{"--stop-mode", "2"} << 2 << usage;
        QTest::newRow("lane 4") << QStringList{"--signal", "4:1:2"} << 2 << usage;
        QTest::newRow("ends before start") << QStringList{"--signal", "1:3:2"} << 2 << usage;
        QTest::newRow("huge duration") << QStringList{"--duration", "1e9"} << 2 << usage;
        QTest::newRow("no such file")
            << QStringList{"--params", "/no/such/set.quv"} << 1 << "set.quv";
        // A value the catalogue refuses is named, and the run (with the catalogue's
        // value in its place) is not passed off as the one asked for.
        QTest::newRow("slowing distance refused")
            << QStringList{"--slowing-cm", "-5"} << 1 << "1 input value was refused";
        // Refused by the model: the first pack's text, and not even a header on stdout.
        Program p;
        QTest::newRow("duration 0")
            << QStringList{"--duration", "0"} << 1
            << p.lang.LangText(TextId::SimZeroInput).arg(p.lang.LangText(TextId::Duration));
    }
    void failures() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, error);
        const ToolOutput r = runProfileTool(args);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.contains(error), qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(TestProfileTool)
#include "tst_profiletool.moc"
