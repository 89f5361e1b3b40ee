// The monitor on an in-memory line. The tick without widgets: frame decoding, the
// drain, the G gauge and the recording with its export. The page: labels, the strip
// chart's speed trace, the export's titles and messages.
#include "lang/LangModule.h"
#include "monitor/MonitorFrame.h"
#include "monitor/MonitorPage.h"
#include "monitor/MonitorTick.h"
#include "monitor/RecordBuffer.h"
#include "params/ParamModule.h"
#include "platform/Canvas.h"
#include "platform/NumberText.h"
#include "ride/Recording.h"
#include "support/MonitorFrames.h"
#include "support/Pixels.h"
#include "support/RecordingPrompts.h"
#include "support/RideRecordings.h"

#include <QCheckBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

using Values = QList<int>; // speed, accel, current
// Good frames, checksum failures, resynchronisations, bytes skipped.
using Counts = QList<quint64>;

namespace {

struct Line : MonitorLine {
    MonitorTick tick{protocol};
    // `n` ticks 1/32 s apart, each with one frame on the line.
    void ticks(int n) {
        for (int k = 0; k < n; ++k) {
            port.rx = monitorFrame(1000, 250, 132);
            clock.advance(0.03125);
            tick.run(true);
        }
    }
};

Values values(const MonitorState& s) {
    return {s.SpeedRaw, s.AccelRaw, s.CurrentRaw};
}

// A frame with the drive's own checksum rule.
const QByteArray first = QByteArray::fromHex("ff012c0064000a9b");
const QByteArray second = QByteArray::fromHex("ff00c800320005fe"); // sum 255 goes as 254

QStringList csvLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).remove(QChar(0xFEFF)).split("\r\n");
    lines.removeAll(QString());
    return lines;
}

const QStringList titles{"speed (mm/s)", "acceleration (mm/s2)", "current (0.1 A)"};

struct Fixture : MonitorLine {
    RecordingPrompts prompts;
    LangModule lang{QString()};
    ParamModule params{lang, prompts};
    QTemporaryDir folder;
    MonitorPage page{protocol, params, prompts, folder.path()};

    Fixture() {
        params.ParamCatalogue[16].scale = 1000.0f;
        params.SetParameter(16, 1.0f); // V3, m/s
        params.ParamCatalogue[20].scale = 10.0f;
        params.SetParameter(20, 13.0f); // rated current, A
        page.resize(1000, 700);
        page.setFullScale(1050.0f);
    }
    QString labels() {
        QStringList out;
        for (const char* name : {"LabelVValue", "LabelAValue", "LabelIValue"})
            out << page.findChild<QLabel*>(name)->text();
        return out.join(u' ');
    }
    void tick(const QByteArray& bytes) {
        port.rx = bytes;
        clock.advance(0.02);
        page.Timer1_Timer();
    }
};

} // namespace

class TestMonitor : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void decode() {
        // 0xFF cannot stand inside a frame on the line: decoded directly.
        QList<Values> decoded;
        for (const char* hex : {"ffff00000000", "800000000000", "0000ffffffff"}) {
            const QByteArray data = QByteArray::fromHex(hex);
            MonitorState state;
            MonitorFrame::decode(reinterpret_cast<const std::uint8_t*>(data.constData()), state);
            decoded << values(state);
        }
        QCOMPARE(decoded, (QList<Values>{{1, 0, 0}, {32768, 0, 0}, {0, 65535, 65535}}));
    }

    void drain_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("arrived");
        QTest::addColumn<Values>("raw");
        QTest::addColumn<int>("left");
        QTest::addColumn<Counts>("counts");
        QTest::newRow("stray byte, two frames: the second wins")
            << "\x12" + first + second << true << Values{200, 50, 5} << 0 << Counts{2, 0, 1, 1};
        QTest::newRow("bad checksum dropped, a partial frame waits")
            << QByteArray::fromHex("ff00c800320005fd") + first + second.left(7) << true
            << Values{300, 100, 10} << 7 << Counts{1, 1, 0, 0};
        QTest::newRow("a start byte inside a damaged frame begins the next one")
            << QByteArray::fromHex("ff01") + first << true << Values{300, 100, 10} << 0
            << Counts{1, 0, 1, 1};
        QTest::newRow("a flood: older bytes dropped unread, the newest frame wins")
            << QByteArray(100000, '\x11') + first << true << Values{300, 100, 10} << 0
            << Counts{1, 0, 1, 100000};
    }
    void drain() {
        QFETCH(QByteArray, input);
        Line line;
        line.port.rx = input;
        MonitorState state;
        QTEST(MonitorFrame::drain(line.protocol, state), "arrived");
        QTEST(values(state), "raw");
        QTEST(int(line.port.rx.size()), "left");
        const LinkStats& s = line.protocol.stats();
        QTEST((Counts{s.frames, s.checksumFailures, s.resyncs, s.bytesSkipped}), "counts");
        QCOMPARE(line.clock.monotonicSeconds(), 0.0); // never waited for the drive
    }

    void tickGauge() {
        // Ticks every 50 ms, one frame each, starting a moment before midnight on the
        // wall clock, which the monitor must not notice.
        Line line;
        line.clock.setMidnightOffset(86399.9);
        QList<float> gauges;
        for (int k = 0; k < 60; ++k) {
            line.port.rx = monitorFrame(40 * k, 0, 0);
            const MonitorTick::Report r = line.tick.run(true);
            QVERIFY(r.frameArrived);
            if (r.gauge)
                gauges << r.gauge->g;
            line.clock.advance(0.05);
        }
        // The gauge: every third tick (0.15 s > 0.12 s); the first keeps 1 g, the
        // others see 120 mm/s more per 0.15 s: 0.8 m/s².
        QCOMPARE(gauges.size(), 20);
        QCOMPARE(gauges.first(), 1.0f);
        for (float g : gauges.mid(1))
            QCOMPARE(NumberText::pattern3(g), QStringLiteral("1.082"));
        // One frame every 50 ms, measured over whole seconds of ticks.
        QCOMPARE(std::lrint(line.protocol.stats().framesPerSecond), 20L);
    }

    void recordAndExport() {
        QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
        QTemporaryDir dir;
        Line line;
        RecordBuffer& record = line.tick.record;
        record.start(line.tick.now());
        line.ticks(5);
        record.pause();
        line.ticks(2);
        record.start(line.tick.now());
        line.ticks(3);
        // The csv folder does not exist yet: it is made.
        const CsvExport::Result r = CsvExport::write(record, dir.path(), titles);
        QVERIFY(r.ok);
        const QStringList lines = csvLines(r.path);
        QCOMPARE(lines.size(), 9);
        QCOMPARE(lines.mid(5, 2), QStringList({"0,15625; 1000; 250; 132",    // from 1/32 s on
                                               "0,03125; 1000; 250; 132"})); // a new origin

        // A second export keeps the first file under a name with its time stamp, and a
        // third within the same second does not overwrite the second.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        record.start(line.tick.now());
        line.ticks(1);
        const QDateTime when(QDate(2026, 12, 6), QTime(14, 25, 1));
        const CsvExport::Result again = CsvExport::write(record, dir.path(), titles, when);
        QVERIFY(again.ok);
        QCOMPARE(again.movedAside, dir.filePath("csv/log-20261206-142501.csv"));
        QCOMPARE(csvLines(again.movedAside), lines);
        QCOMPARE(csvLines(again.path).value(1), "0.03125; 1000; 250; 132");
        const CsvExport::Result third = CsvExport::write(record, dir.path(), titles, when);
        QCOMPARE(third.movedAside, dir.filePath("csv/log-20261206-142501-2.csv"));
        QCOMPARE(csvLines(third.movedAside).size(), 2);
        // The recording reader takes the export back, in either locale.
        for (const QString& path : {r.path, again.path})
            QCOMPARE(RecordingFile::read(path).samples.size(), csvLines(path).size() - 1);

        // A link laid at log.csv is moved aside as a link; its target stays untouched.
        QFile::remove(dir.filePath("csv/log.csv"));
        QVERIFY(RideRecordings::writeFile(dir.filePath("target.txt"), "precious"));
        QVERIFY(QFile::link(dir.filePath("target.txt"), dir.filePath("csv/log.csv")));
        const CsvExport::Result linked = CsvExport::write(record, dir.path(), titles, when);
        QVERIFY(linked.ok);
        QCOMPARE(QFileInfo(linked.movedAside).symLinkTarget(), dir.filePath("target.txt"));
        QVERIFY(!QFileInfo(linked.path).isSymLink());
        QCOMPARE(csvLines(dir.filePath("target.txt")), QStringList{"precious"});
    }

    // Recordings go to csv/ beside the program only when it is the user's own folder.
    void recordingFolder() {
        QTemporaryDir dir;
        QCOMPARE(CsvExport::recordingFolder(dir.path()), dir.filePath("csv"));
        QVERIFY(QFile::link(QDir::tempPath(), dir.filePath("csv")));
        QVERIFY(CsvExport::recordingFolder(dir.path()).endsWith("/liftdrive/csv"));
        QVERIFY(QFile::remove(dir.filePath("csv")));
        QVERIFY(QDir(dir.path()).mkdir("csv"));
        QVERIFY(QFile::setPermissions(dir.filePath("csv"), QFile::ReadOwner | QFile::WriteOwner |
                                                               QFile::ExeOwner | QFile::WriteOther |
                                                               QFile::ExeOther));
        QVERIFY(CsvExport::recordingFolder(dir.path()).endsWith("/liftdrive/csv"));
    }

    void capacity() {
        Line line;
        line.tick.record.start(0);
        line.tick.record.RecordCount = 99992;
        line.tick.run(true);
        line.tick.run(true);
        QCOMPARE(line.tick.record.RecordCount, 99996);
        QVERIFY(!line.tick.record.Recording);
    }

    void labelsOfflineAndPartial() {
        Fixture f;
        f.page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.page));
        f.page.CommandRecordData_Click();
        f.tick(monitorFrame(300, 100, 10));
        QCOMPARE(f.labels(), "... ... ..."); // no port in use; the notice, in red on both
        // The line is left alone, and nothing is recorded without a port.
        QVERIFY(f.port.rx.size() == 8 && f.page.record().sampleCount() == 0);
        QVERIFY(pixelsOf(f.page.picture(1)->image(), Qt::red) > 0);
        // A resize wipes the chart; the notice comes back with the next tick.
        f.page.resize(900, 650);
        QApplication::processEvents();
        f.tick(monitorFrame(300, 100, 10));
        QVERIFY(pixelsOf(f.page.picture(1)->image(), Qt::red) > 0);

        f.page.setSelectedPort(1);
        f.tick(monitorFrame(300, 100, 10));
        QCOMPARE(f.labels(), "0.30 0.10 1.00");
        f.tick(monitorFrame(300, 100, 10).left(7));
        QCOMPARE(f.labels(), "... ... ...");
    }

    void chartDrawsTheTraces() {
        Fixture f;
        f.page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.page));
        f.page.setSelectedPort(1);
        for (int k = 0; k < 250; ++k)
            f.tick(monitorFrame(500, 200, 60)); // 0.5 m/s, 0.2 m/s², 6 A
        const QImage& image = f.page.picture(f.page.state().ShowFirstPicture ? 1 : 2)->image();
        const int x = image.width() / 2;
        // Within two rows of where 0.5 m/s lies, in column x.
        const QRect speed(x, int((1050.0 - 500) / 1050.0 * image.height()) - 2, 1, 5);
        QVERIFY(pixelsOf(image, Qt::red, speed) > 0);
        f.page.findChild<QCheckBox*>("ShowVCheck")->setChecked(false);
        f.tick(monitorFrame(500, 200, 60));
        f.tick(monitorFrame(500, 200, 60));
        QCOMPARE(pixelsOf(image, Qt::red, QRect(x, 0, 1, image.height())), 0);
    }

    void retitleThenExport() {
        // The export's columns hold mm/s, mm/s² and 0.1 A: each title must say so.
        Fixture f;
        LangModule lang(qEnvironmentVariable("LIFTDRIVE_BIN_DIR"));
        QVERIFY(lang.LoadLanguagePack("Turkce.lng").isPack());
        f.page.retitle(lang);

        // An export that cannot be written says so and keeps the data for another try.
        f.page.setSelectedPort(1);
        f.page.CommandRecordData_Click();
        f.tick(monitorFrame(1000, 250, 132));
        // csv/ is no folder of the user's, and the documents folder cannot be made.
        QFile file(f.folder.filePath("csv"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QTemporaryDir home;
        QVERIFY(RideRecordings::writeFile(home.filePath("Documents"), "a file"));
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
        f.page.CommandRecDataToClipboard_Click();
        const QString path =
            QDir::toNativeSeparators(home.filePath("Documents/liftdrive/csv/log.csv"));
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].icon, Prompts::Icon::Critical);
        QVERIFY(
            f.prompts.messages[0].text.startsWith(path + " dosyas\u0131na yaz\u0131lamad\u0131."));
        QCOMPARE(f.page.record().sampleCount(), 1);

        QVERIFY(file.remove());
        f.page.CommandRecDataToClipboard_Click();
        QCOMPARE(f.prompts.messages.size(), 2);
        QCOMPARE(f.prompts.messages[1].icon, Prompts::Icon::Information);
        const QString beside = QDir::toNativeSeparators(f.folder.filePath("csv/log.csv"));
        QVERIFY(f.prompts.messages[1].text.contains(beside));
        QCOMPARE(f.page.record().sampleCount(), 0);
        file.setFileName(beside);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readLine()).remove(QChar(0xFEFF)).trimmed(),
                 "T; H\u0131z (mm/s); \u0130vme (mm/s\u00b2); Motor ak\u0131m\u0131 (0,1 A);");
    }
};

QTEST_MAIN(TestMonitor)
#include "tst_monitor.moc"
