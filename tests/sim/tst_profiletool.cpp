// liftdrive-profile as scripts use it: the built program beside its data files, its
// CSV against the same run in process, its options and its failures.
#include "ModelFixture.h"
#include "ParamFiles.h"

#include <QDir>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Output {
    int exitCode = -1;
    QString out, err, header;
    QStringList samples;          // CSV lines after the header
    QMap<QString, QString> notes; // "# key=value" lines
};

Output runTool(const QStringList& args) {
    QProcess process;
    process.start(QDir(binFolder()).filePath(QStringLiteral("liftdrive-profile")), args);
    Output r;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = process.exitCode();
    r.out = QString::fromUtf8(process.readAllStandardOutput());
    r.err = QString::fromUtf8(process.readAllStandardError());
    QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    if (!lines.isEmpty())
        r.header = lines.takeFirst();
    for (const QString& line : lines) {
        if (line.startsWith(u'#'))
            r.notes.insert(line.section(u'=', 0, 0).mid(2), line.section(u'=', 1));
        else
            r.samples << line;
    }
    return r;
}

struct Csv : TravelPlotter {
    QStringList lines;
    void plot(const TravelSample& s) override {
        const auto num = [](float f) { return QString::number(double(f), 'g', 9); };
        lines << QStringList{num(s.t),
                             num(s.x),
                             num(s.v),
                             num(s.a),
                             QString::number(s.phase),
                             QString::number(s.stopRequest)}
                     .join(u',');
    }
};

// The program's run: the default travel laid down for 15 s, then `duration`.
QStringList inProcess(Program& p, float duration) {
    p.sim.D = 15.0f;
    p.sim.setDefaultTravel();
    p.sim.D = duration;
    Csv csv;
    p.sim.simulate(&p.params, p.lang, p.prompts, "t", &csv);
    return csv.lines;
}

void compareWithProgram(const Output& r, Program& p, float duration) {
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.header, QStringLiteral("t,x,v,a,phase,stopRequest"));
    QCOMPARE(r.samples, inProcess(p, duration));
    const std::pair<const char*, StopModeBox> boxes[] = {
        {"TextSlowingDistance", StopModeBox::SlowingDistance},
        {"TextStoppingDistance", StopModeBox::StoppingDistance},
        {"TextSlowingS", StopModeBox::SlowingS},
        {"TextStoppingS", StopModeBox::StoppingS}};
    for (const auto& [name, box] : boxes)
        QCOMPARE(r.notes.value(name), p.controls.text(box));
    QCOMPARE((r.notes.value("steps").toInt() + 9) / 10, int(r.samples.size()));
}

} // namespace

class TestProfileTool : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void sameRunAsProgram_data();
    void sameRunAsProgram();
    void signalsAndParameterFile();
    void failures_data();
    void failures();
};

void TestProfileTool::sameRunAsProgram_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<float>("duration");
    QTest::addColumn<int>("stopMode"); // -1: the catalogue's
    QTest::newRow("defaults") << QStringList{} << 15.0f << -1;
    QTest::newRow("by distance") << QStringList{"--stop-mode",   "0", "--slowing-cm", "130",
                                                "--stopping-cm", "4"}
                                 << 15.0f << 0;
    QTest::newRow("60 s") << QStringList{"--duration", "60"} << 60.0f << -1;
}

void TestProfileTool::sameRunAsProgram() {
    QFETCH(QStringList, args);
    QFETCH(float, duration);
    QFETCH(int, stopMode);
    Program p;
    if (stopMode == 0) {
        p.params.setById("stpmod", 0.0f);
        p.params.setById("slwd", 130.0f);
        p.params.setById("stpd", 4.0f);
    }
    compareWithProgram(runTool(args), p, duration);
    QVERIFY(p.prompts.messages.isEmpty());
}

void TestProfileTool::signalsAndParameterFile() {
    // V3 ends while accelerating, V0 lasts: a distance-controlled slowing.
    Output r = runTool({"--signal", "3:1:3", "--signal", "0:1:8", "--duration", "10"});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(std::abs(r.notes.value("steps").toInt() - 10000) < 10);
    QVERIFY(r.samples.join(u'\n').contains(QStringLiteral(",9,1\n")));
    QVERIFY(r.samples.last().endsWith(QStringLiteral(",11,0")));

    // A parameter file, with its own stop mode and distance, over the defaults.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("set.quv"));
    Program p;
    p.params.setById("S2", 1.1f);
    p.params.setById("V3", 1.6f);
    p.params.setById("stpmod", 0.0f);
    p.params.setById("slwd", 250.0f);
    QCOMPARE(ParamFiles(p.params, p.lang, p.prompts, "t").save(path), ParamFiles::Result::Done);
    r = runTool({"--params", path});
    QCOMPARE(r.notes.value("TextSlowingDistance"), QStringLiteral("250"));
    compareWithProgram(r, p, 15.0f);
    QVERIFY(runTool({"--params", path, "--stop-mode", "1"}).notes.value("TextSlowingDistance") !=
            QStringLiteral("250"));
}

void TestProfileTool::failures_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error");
    const QString usage = QStringLiteral("Usage: liftdrive-profile");
    QTest::newRow("unknown option") << QStringList{"--speed", "1"} << 2 << usage;
    QTest::newRow("missing value") << QStringList{"--duration"} << 2 << usage;
    QTest::newRow("stop mode 2") << QStringList{"--stop-mode", "2"} << 2 << usage;
    QTest::newRow("lane 4") << QStringList{"--signal", "4:1:2"} << 2 << usage;
    QTest::newRow("two fields") << QStringList{"--signal", "1:2"} << 2 << usage;
    QTest::newRow("ends before start") << QStringList{"--signal", "1:3:2"} << 2 << usage;
    QTest::newRow("negative duration") << QStringList{"--duration", "-5"} << 2 << usage;
    QTest::newRow("huge duration") << QStringList{"--duration", "1e9"} << 2 << usage;
    QTest::newRow("distance text") << QStringList{"--slowing-cm", "x"} << 2 << usage;
    QTest::newRow("no such file") << QStringList{"--params", "/no/such/set.quv"} << 1 << "set.quv";
    // Refused by the model: the pack's text, and not even a header on stdout.
    Program p;
    QTest::newRow("duration 0") << QStringList{"--duration", "0"} << 1
                                << p.lang.LangText(58).arg(p.lang.LangText(42));
}

void TestProfileTool::failures() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    const Output r = runTool(args);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(r.err.contains(error), qPrintable(r.err));
}

QTEST_GUILESS_MAIN(TestProfileTool)
#include "tst_profiletool.moc"
