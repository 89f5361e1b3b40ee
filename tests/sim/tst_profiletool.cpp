// liftdrive-profile as scripts use it: the built program run beside its data files,
// its CSV against the model run in process, its options and its refusals.
#include "DataFiles.h"
#include "LangModule.h"
#include "ParamFiles.h"
#include "ParamModule.h"
#include "RecordingPrompts.h"
#include "SimModule.h"

#include <QDir>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Result {
    int exitCode = -1;
    QStringList samples;          // CSV lines after the header
    QMap<QString, QString> notes; // "# key=value" lines
    QString header;
    QString out;
    QString err;
};

Result runTool(const QStringList& args) {
    QProcess process;
    process.start(QDir(binFolder()).filePath(QStringLiteral("liftdrive-profile")), args);
    Result r;
    if (!process.waitForFinished(60000))
        return r;
    r.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.out = QString::fromUtf8(process.readAllStandardOutput());
    r.err = QString::fromUtf8(process.readAllStandardError());
    QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    if (!lines.isEmpty())
        r.header = lines.takeFirst();
    for (const QString& line : lines) {
        if (line.startsWith(u'#')) {
            const qsizetype eq = line.indexOf(u'=');
            r.notes.insert(line.mid(2, eq - 2), line.mid(eq + 1));
        } else {
            r.samples << line;
        }
    }
    return r;
}

QString csv(const TravelSample& s) {
    const auto num = [](float f) { return QString::number(double(f), 'g', 9); };
    return QStringList{num(s.t),
                       num(s.x),
                       num(s.v),
                       num(s.a),
                       QString::number(s.phase),
                       QString::number(s.stopRequest)}
        .join(u',');
}

struct Lines : TravelPlotter {
    QStringList lines;
    void plot(const TravelSample& s) override { lines << csv(s); }
};

// The program's catalogue set-up: the first pack, its definition file, the defaults.
struct Program {
    RecordingPrompts prompts;
    LangModule lang{binFolder(), prompts};
    ParamModule params{lang, prompts};
    SimModule sim;
    TextStopModeControls controls;

    Program() {
        sim.setControls(&controls);
        lang.FindLanguagePacks(QStringLiteral("t"));
        lang.LoadLanguagePack(lang.packs().first().fileName);
        params.LoadParamDefinitions(binFolder());
        params.addListener(&sim);
        params.LoadDefaultParameters();
    }
    QStringList run(float duration) {
        sim.D = 15.0f;
        sim.setDefaultTravel();
        sim.D = duration;
        Lines out;
        sim.simulate(&params, lang, prompts, QStringLiteral("t"), &out);
        return out.lines;
    }
};

QList<int> column(const QStringList& samples, int index) {
    QList<int> values;
    for (const QString& line : samples)
        values << line.section(u',', index, index).toInt();
    return values;
}

} // namespace

class TestProfileTool : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void defaultRunMatchesModel();
    void options_data();
    void options();
    void parameterFile();
    void badArguments_data();
    void badArguments();
    void refusedRun();
    void unreadableParameterFile();
};

void TestProfileTool::defaultRunMatchesModel() {
    const Result r = runTool({});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.header, QStringLiteral("t,x,v,a,phase,stopRequest"));
    Program p;
    const QStringList expected = p.run(15.0f);
    QVERIFY(expected.size() > 1400);
    QCOMPARE(r.samples, expected);
    QCOMPARE(r.notes.value("TextSlowingDistance"), p.controls.text(StopModeBox::SlowingDistance));
    QCOMPARE(r.notes.value("TextStoppingDistance"), p.controls.text(StopModeBox::StoppingDistance));
    QCOMPARE(r.notes.value("TextSlowingS"), p.controls.text(StopModeBox::SlowingS));
    QCOMPARE(r.notes.value("TextStoppingS"), p.controls.text(StopModeBox::StoppingS));
    const int steps = r.notes.value("steps").toInt();
    QCOMPARE((steps + 9) / 10, int(r.samples.size()));
    QVERIFY(r.err.isEmpty());
}

void TestProfileTool::options_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("minSteps");
    QTest::addColumn<int>("maxSteps");
    QTest::addColumn<int>("slowings");      // samples with stopRequest 1
    QTest::addColumn<QString>("heldSpeed"); // as printed
    QTest::addColumn<QString>("slowingBox");

    // Default travel, mode 1: the S-curve slows from V3.
    QTest::newRow("defaults") << QStringList{} << 14990 << 15000 << 0 << ""
                              << "138";
    QTest::newRow("by distance") << QStringList{"--stop-mode",   "0", "--slowing-cm", "130",
                                                "--stopping-cm", "4"}
                                 << 14990 << 15000 << 1 << ""
                                 << "130";
    QTest::newRow("V1 only, 10 s") << QStringList{"--duration", "10", "--signal", "1:1:4"} << 9990
                                   << 10010 << 0 << "0.200000003"
                                   << "138";
    QTest::newRow("V3 ends while accelerating")
        << QStringList{"--signal", "3:1:3", "--signal", "0:1:8"} << 14990 << 15000 << 1 << ""
        << "138";
    QTest::newRow("60 s") << QStringList{"--duration", "60"} << 59950 << 60050 << 0 << "1"
                          << "138";
}

void TestProfileTool::options() {
    QFETCH(QStringList, args);
    QFETCH(int, minSteps);
    QFETCH(int, maxSteps);
    QFETCH(int, slowings);
    QFETCH(QString, heldSpeed);
    QFETCH(QString, slowingBox);
    const Result r = runTool(args);
    QCOMPARE(r.exitCode, 0);
    const int steps = r.notes.value("steps").toInt();
    QVERIFY2(steps >= minSteps && steps <= maxSteps, qPrintable(QString::number(steps)));
    QCOMPARE(int(r.samples.size()), (steps + 9) / 10);
    QCOMPARE(r.notes.value("TextSlowingDistance"), slowingBox);
    const QList<int> requests = column(r.samples, 5);
    QCOMPARE(requests.contains(1), slowings > 0);
    QCOMPARE(column(r.samples, 4).last(), int(TravelPhase::Idle));
    if (!heldSpeed.isEmpty()) {
        // The car holds the commanded speed exactly, having passed it by less than
        // the 1 mm/s at which the S-curve snaps.
        const QStringList speeds = [&] {
            QStringList v;
            for (const QString& line : r.samples)
                v << line.section(u',', 2, 2);
            return v;
        }();
        QVERIFY(speeds.contains(heldSpeed));
        for (const QString& v : speeds)
            QVERIFY(v.toDouble() < heldSpeed.toDouble() + 0.001);
    }
}

void TestProfileTool::parameterFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("set.quv"));
    Program p;
    p.params.setById(QStringLiteral("S2"), 1.1f);
    p.params.setById(QStringLiteral("V3"), 1.6f);
    p.params.setById(QStringLiteral("stpmod"), 0.0f);
    p.params.setById(QStringLiteral("slwd"), 250.0f);
    QCOMPARE(ParamFiles(p.params, p.lang, p.prompts, "t").save(path), ParamFiles::Result::Done);
    const QStringList expected = p.run(15.0f);

    const Result r = runTool({"--params", path});
    QCOMPARE(r.exitCode, 0);
    // The file's stop mode and distance hold unless an option says otherwise.
    QCOMPARE(r.notes.value("TextSlowingDistance"), QStringLiteral("250"));
    QCOMPARE(r.samples, expected);
    QCOMPARE(r.notes.value("TextSlowingS"), p.controls.text(StopModeBox::SlowingS));

    const Result overridden = runTool({"--params", path, "--stop-mode", "1"});
    QCOMPARE(overridden.exitCode, 0);
    QVERIFY(overridden.notes.value("TextSlowingDistance") != QStringLiteral("250"));
}

void TestProfileTool::badArguments_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("unknown option") << QStringList{"--speed", "1"};
    QTest::newRow("missing value") << QStringList{"--duration"};
    QTest::newRow("stop mode 2") << QStringList{"--stop-mode", "2"};
    QTest::newRow("lane 4") << QStringList{"--signal", "4:1:2"};
    QTest::newRow("two fields") << QStringList{"--signal", "1:2"};
    QTest::newRow("ends before start") << QStringList{"--signal", "1:3:2"};
    QTest::newRow("negative start") << QStringList{"--signal", "1:-1:2"};
    QTest::newRow("duration text") << QStringList{"--duration", "abc"};
    QTest::newRow("negative duration") << QStringList{"--duration", "-5"};
    QTest::newRow("huge duration") << QStringList{"--duration", "1e9"};
    QTest::newRow("distance text") << QStringList{"--slowing-cm", "x"};
}

void TestProfileTool::badArguments() {
    QFETCH(QStringList, args);
    const Result r = runTool(args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY(r.out.isEmpty());
    QVERIFY(r.err.contains(QStringLiteral("Usage: liftdrive-profile")));
}

void TestProfileTool::refusedRun() {
    const Result r = runTool({"--duration", "0"});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.out.isEmpty()); // not even the header of a run that did not happen
    Program p;
    QVERIFY(r.err.contains(p.lang.LangText(58).arg(p.lang.LangText(42))));
}

void TestProfileTool::unreadableParameterFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing.quv"));
    const Result r = runTool({"--params", path});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.out.isEmpty());
    QVERIFY(r.err.contains(QStringLiteral("missing.quv")));
}

QTEST_GUILESS_MAIN(TestProfileTool)
#include "tst_profiletool.moc"
