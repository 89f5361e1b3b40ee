// liftdrive-profile as scripts use it: the built program beside its data files, its
// output against the same run in process, and its failures.
#include "support/ModelFixture.h"
#include "support/ProfileTool.h"

#include <QDir>
#include <QLocale>
#include <QTest>

namespace {

// What the tool should print for a run: the header, then every plotted sample.
struct Csv : TravelPlotter {
    QStringList lines{QStringLiteral("t,x,v,a,phase,stopRequest")};
    void plot(const TravelSample& s) override {
        const auto num = [](float f) { return QString::number(double(f), 'g', 9); };
        lines << QString("%1,%2,%3,%4,%5,%6")
                     .arg(num(s.t), num(s.x), num(s.v), num(s.a))
                     .arg(s.phase)
                     .arg(s.stopRequest);
    }
};

} // namespace

class TestProfileTool : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void sameRunAsProgram_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<float>("duration");
        QTest::addColumn<QList<float>>("commands"); // lane, from, to; none: the default travel
        // The default travel is laid down for 15 s, then run for 60 s.
        QTest::newRow("by distance, 60 s")
            << QString("--stop-mode 0 --slowing-cm 130 --stopping-cm 4 --duration 60").split(' ')
            << 60.0f << QList<float>{};
        QTest::newRow("signals")
            << QString("--signal 3:1:3 --signal 0:1:8 --duration 10").split(' ') << 10.0f
            << QList<float>{3, 1, 3, 0, 1, 8};
    }
    void sameRunAsProgram() {
        QFETCH(QStringList, args);
        QFETCH(float, duration);
        QFETCH(QList<float>, commands);
        Program p;
        if (args.contains(u"--stop-mode")) {
            p.params.setById("stpmod", 0.0f);
            p.params.setById("slwd", 130.0f);
            p.params.setById("stpd", 4.0f);
        }
        p.sim.D = 15.0f;
        p.sim.setDefaultTravel();
        p.sim.D = duration;
        if (!commands.isEmpty())
            p.sim.clearSignals();
        for (qsizetype i = 0; i + 2 < commands.size(); i += 3)
            p.sim.addSignal(int(commands[i]), commands[i + 1], commands[i + 2]);
        Csv expected;
        const RunReport report = p.sim.simulate(&p.params, p.lang, p.prompts, "t", &expected);
        QVERIFY(report.ran && p.prompts.messages.isEmpty());
        for (const auto& [name, box] :
             {std::pair{"TextSlowingDistance", StopModeBox::SlowingDistance},
              {"TextStoppingDistance", StopModeBox::StoppingDistance},
              {"TextSlowingS", StopModeBox::SlowingS},
              {"TextStoppingS", StopModeBox::StoppingS}})
            expected.lines << QString("# %1=%2").arg(name, p.controls.text(box));
        expected.lines << "# steps=" + QString::number(report.steps);

        const ToolOutput r = runProfileTool(args);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out.split(u'\n', Qt::SkipEmptyParts), expected.lines);
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
