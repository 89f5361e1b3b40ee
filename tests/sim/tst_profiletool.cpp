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
        Program p;
        p.params.setById("stpmod", 0.0f);
        p.params.setById("slwd", 130.0f);
        p.params.setById("stpd", 4.0f);
        p.sim.clearSignals();
        p.sim.setDuration(10.0f);
        p.sim.addSignal(3, 1.0f, 3.0f);
        p.sim.addSignal(0, 1.0f, 8.0f);
        const RunReport report = p.sim.simulate(&p.params, p.lang, nullptr);
        QStringList summary;
        for (const auto& [name, box] :
             {std::pair{"TextSlowingDistance", StopModeBox::SlowingDistance},
              {"TextStoppingDistance", StopModeBox::StoppingDistance},
              {"TextSlowingS", StopModeBox::SlowingS},
              {"TextStoppingS", StopModeBox::StoppingS}})
            summary << QString("# %1=%2").arg(name, p.controls.text(box));
        summary << "# steps=" + QString::number(report.steps);

        const ToolOutput r = runProfileTool(
            QString("--stop-mode 0 --slowing-cm 130 --stopping-cm 4 --signal 3:1:3 --signal 0:1:8 "
                    "--duration 10")
                .split(' '));
        QCOMPARE(r.exitCode, 0);
        const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.first(), QStringLiteral("t,x,v,a,phase,stopRequest"));
        QCOMPARE(lines.size(), 1 + report.samples + summary.size());
        QCOMPARE(lines.mid(lines.size() - summary.size()), summary);
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
