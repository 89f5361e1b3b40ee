// The monitor tick without widgets on an in-memory line: frame decoding, the drain,
// chart marks, the G gauge, the scale table and the recording with its export.
#include "emulator/CarTravel.h"
#include "emulator/DriveEmulator.h"
#include "link/ProtocolModule.h"
#include "monitor/ChartScale.h"
#include "monitor/GGauge.h"
#include "monitor/MonitorFrame.h"
#include "monitor/MonitorTick.h"
#include "monitor/RecordBuffer.h"
#include "platform/NumberText.h"
#include "support/FakeLinkPort.h"
#include "support/MonitorFrames.h"

#include <QTemporaryDir>
#include <QtTest>

using Values = QList<int>; // speed, accel, current

namespace {

struct Line {
    ManualClock clock;
    FakeLinkPort port{clock};
    ProtocolModule protocol{port, clock, [this] { clock.advance(0.001); },
                            [this](double s) { clock.advance(s); }};
    Line() {
        port.freePorts = {1};
        port.open(1);
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
    QByteArray text = file.readAll();
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    QStringList lines = QString::fromUtf8(text).split(QStringLiteral("\r\n"));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

const QStringList titles{"speed (mm/s)", "acceleration (mm/s2)", "current (0.1 A)"};

} // namespace

class TestMonitor : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void decode_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<Values>("raw");
        QTest::newRow("speed 0xFFFF") << QByteArray::fromHex("ffff00000000") << Values{1, 0, 0};
        QTest::newRow("speed 0x8000") << QByteArray::fromHex("800000000000") << Values{32768, 0, 0};
        QTest::newRow("accel, current unsigned")
            << QByteArray::fromHex("0000ffffffff") << Values{0, 65535, 65535};
    }
    void decode() {
        QFETCH(QByteArray, data);
        MonitorState state;
        MonitorFrame::decode(reinterpret_cast<const std::uint8_t*>(data.constData()), state);
        QTEST(values(state), "raw");
    }

    void drain_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("arrived");
        QTest::addColumn<Values>("raw");
        QTest::addColumn<int>("left");
        QTest::newRow("stray byte, two frames: the second wins")
            << "\x12" + first + second << true << Values{200, 50, 5} << 0;
        QTest::newRow("bad checksum dropped, a partial frame waits")
            << QByteArray::fromHex("ff00c800320005fd") + first + second.left(7) << true
            << Values{300, 100, 10} << 7;
        QTest::newRow("embedded start byte drops the frame")
            << QByteArray::fromHex("ff01ff0064000a9b") + QByteArray(8, '\x01') << false
            << Values{0, 0, 0} << 7;
        QTest::newRow("fewer than 8 bytes: nothing read")
            << first.left(7) << false << Values{0, 0, 0} << 7;
    }
    void drain() {
        QFETCH(QByteArray, input);
        Line line;
        line.port.rx = input;
        MonitorState state;
        QTEST(MonitorFrame::drain(line.protocol, state), "arrived");
        QTEST(values(state), "raw");
        QTEST(int(line.port.rx.size()), "left");
        QCOMPARE(line.clock.monotonicSeconds(), 0.0); // never waited for the drive
    }

    void garbageFloodIsBounded() {
        Line line;
        line.port.rx = QByteArray(100000, '\x11') + first;
        MonitorState state;
        QVERIFY(!MonitorFrame::drain(line.protocol, state));
        QCOMPARE(line.port.rx.size(), 100000 + 8 - MonitorFrame::MaxDrainBytes);
    }

    void virtualDriveTravel() {
        // The virtual drive streams the model's travel at the full line rate; the drain
        // takes every frame and ends on the speed of the last one.
        const QString def = qEnvironmentVariable("LIFTDRIVE_BIN_DIR") + "/params-en.def";
        DriveEmulator drive;
        drive.loadDefaults(DriveEmulator::readScales(def));
        const QList<CarSample> travel = CarTravel::fromModel(drive.words(), def);
        QVERIFY(travel.size() > 1000);
        float top = 0.0f;
        for (const CarSample& s : travel)
            top = std::max(top, s.v);
        QVERIFY(top > 0.9f && top < 1.01f); // V3 of the factory set: 1 m/s
        QCOMPARE(travel.first().v, 0.0f);
        drive.setTravel(travel);
        drive.setFrameRate(1e6); // brought down to the line's rate
        drive.receive("M", 0.0);
        for (int ms = 0; ms <= 3000; ms += 10)
            drive.tick(ms / 1000.0);
        Line line;
        line.port.drive = &drive;
        line.port.drainDrive();
        MonitorState state;
        while (MonitorFrame::drain(line.protocol, state)) {
        }
        QCOMPARE(state.FramesDecoded, drive.framesMade());
        QVERIFY(qAbs(qint64(drive.framesMade()) - 2100) <= 1); // 3 s at 700 frames/s
        QVERIFY(travel[300].v > 0.1f);                         // under way
        QVERIFY(qAbs(state.SpeedRaw - std::lrint(travel[300].v * 1000.0)) <= 20);
    }

    void tickMarksAndGauge() {
        // Ticks every 50 ms, one frame each, starting a moment before midnight on the
        // wall clock, which the monitor must not notice.
        Line line;
        line.clock.setMidnightOffset(86399.9);
        MonitorTick tick(line.protocol);
        QList<int> marks;
        QList<float> gauges;
        for (int k = 0; k < 60; ++k) {
            line.port.rx = monitorFrame(40 * k, 0, 0);
            const MonitorTick::Report r = tick.run(true);
            QVERIFY(r.frameArrived);
            marks << tick.history.at(tick.history.WritePos).mark;
            if (r.gauge)
                gauges << r.gauge->g;
            line.clock.advance(0.05);
        }
        // A mark when more than 0.1 s passed since the last, a long one every tenth.
        QCOMPARE(marks.mid(0, 7), QList<int>({1, 0, 0, 1, 0, 0, 1}));
        QCOMPARE(marks.count(2), 2);
        // The gauge: every third tick (0.15 s > 0.12 s); the first keeps 1 g, the
        // others see 120 mm/s more per 0.15 s: 0.8 m/s².
        QCOMPARE(gauges.size(), 20);
        QCOMPARE(gauges.first(), 1.0f);
        for (float g : gauges.mid(1))
            QCOMPARE(NumberText::pattern3(g), QStringLiteral("1.082"));
        QCOMPARE(tick.history.ScrollPos, 60);
    }

    void offlineTick() {
        Line line;
        MonitorTick tick(line.protocol);
        tick.record.start(0);
        line.port.rx = first;
        const MonitorTick::Report a = tick.run(false);
        const MonitorTick::Report b = tick.run(false);
        QVERIFY(a.printOfflineNotice && !b.printOfflineNotice);
        QCOMPARE(a.texts.speed, QStringLiteral("..."));
        QCOMPARE(tick.record.RecordCount, 0); // nothing recorded without a port
        QCOMPARE(line.port.rx.size(), 8);     // the line is left alone
        QCOMPARE(tick.history.WritePos, 0);
    }

    void scaleStep_data() {
        QTest::addColumn<double>("top");
        QTest::addColumn<double>("step");
        QTest::newRow("500") << 500.0 << 20.0;
        QTest::newRow("500.5 between ranges") << 500.5 << 100.0;
        QTest::newRow("501") << 501.0 << 50.0;
        QTest::newRow("6000") << 6000.0 << 500.0;
        QTest::newRow("6001") << 6001.0 << 100.0;
        QTest::newRow("negative") << -1.0 << 100.0;
    }
    void scaleStep() {
        QFETCH(double, top);
        QTEST(ChartScale::stepFor(top), "step");
    }

    void scaleTicks() {
        // 1 m/s top speed: ticks 0 to 1050 by 50.
        const QList<double> speed =
            ChartScale::ticks(ChartScale::plan(ChartScale::Speed, 1000, 130));
        QCOMPARE(speed.size(), 22);
        QCOMPARE(speed.last(), 1050.0);
        const ChartScale::Plan current = ChartScale::plan(ChartScale::Current, 1000, 130);
        QCOMPARE(current.top, 26000.0);
        QCOMPARE(ChartScale::ticks(current).size(), 29);
        QVERIFY(ChartScale::ticks(ChartScale::plan(ChartScale::Speed, 0, 0)).isEmpty());
        QVERIFY(ChartScale::ticks(ChartScale::plan(-1, 1000, 130)).isEmpty());
        QCOMPARE(ChartScale::ticks(ChartScale::plan(ChartScale::Speed, 1e12, 0)).size(),
                 ChartScale::MaxTicks);
    }

    void gauge_data() {
        QTest::addColumn<float>("g");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("recoloured");
        QTest::addColumn<int>("red");
        QTest::addColumn<int>("green");
        QTest::newRow("1.2 saturates")
            << 1.2f << "1.200" << GGauge::AxisY - 700 << 700 << true << 255 << 55;
        QTest::newRow("0.7 below, colour kept")
            << 0.7f << "0.700" << GGauge::AxisY << 700 << false << 0 << 0;
        QTest::newRow("1.02") << 1.02f << "1.020" << GGauge::AxisY - 100 << 100 << true << 150
                              << 235;
    }
    void gauge() {
        QFETCH(float, g);
        const GGauge::Display d = GGauge::show(g);
        QTEST(d.text, "text");
        QTEST(d.barTop, "top");
        QTEST(d.barHeight, "height");
        QTEST(d.colourChanged, "recoloured");
        if (d.colourChanged) {
            QTEST(d.red, "red");
            QTEST(d.green, "green");
        }
    }

    void recordAndExport() {
        QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
        QTemporaryDir dir;
        Line line;
        MonitorTick tick(line.protocol);
        auto ticks = [&](int n) {
            for (int k = 0; k < n; ++k) {
                line.port.rx = monitorFrame(1000, 250, 132);
                line.clock.advance(0.03125);
                tick.run(true);
            }
        };
        tick.record.start(tick.now());
        ticks(5);
        tick.record.pause();
        ticks(2);
        tick.record.start(tick.now());
        ticks(3);
        // The csv folder does not exist yet: it is made.
        const CsvExport::Result r = CsvExport::write(tick.record, dir.path(), titles);
        QVERIFY(r.ok);
        QVERIFY(r.movedAside.isEmpty());
        QCOMPARE(r.path, dir.filePath("csv/log.csv"));
        const QStringList lines = csvLines(r.path);
        QCOMPARE(lines.size(), 9);
        QCOMPARE(lines[0], "T; speed (mm/s); acceleration (mm/s2); current (0.1 A); ");
        QCOMPARE(lines[1], "0,03125; 1000; 250; 132");
        QCOMPARE(lines[5], "0,15625; 1000; 250; 132");
        QCOMPARE(lines[6], "0,03125; 1000; 250; 132"); // a new time origin
        QCOMPARE(tick.record.RecordCount, 0);
        QVERIFY(!tick.record.Recording);

        // A second export keeps the first file under a name with its time stamp.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        tick.record.start(tick.now());
        ticks(1);
        const QDateTime when(QDate(2026, 12, 6), QTime(14, 25, 1));
        const CsvExport::Result again = CsvExport::write(tick.record, dir.path(), titles, when);
        QVERIFY(again.ok);
        QCOMPARE(again.movedAside, dir.filePath("csv/log-20261206-142501.csv"));
        QCOMPARE(csvLines(again.movedAside), lines);
        QCOMPARE(csvLines(again.path).value(1), "0.03125; 1000; 250; 132");
        // And a third within the same second does not overwrite the second.
        const CsvExport::Result third = CsvExport::write(tick.record, dir.path(), titles, when);
        QCOMPARE(third.movedAside, dir.filePath("csv/log-20261206-142501-2.csv"));
        QCOMPARE(csvLines(third.movedAside).size(), 2);
    }

    void capacity() {
        Line line;
        MonitorTick tick(line.protocol);
        tick.record.start(0);
        tick.record.RecordCount = 99992;
        tick.run(true);
        QCOMPARE(tick.record.RecordCount, 99996);
        QVERIFY(tick.record.Recording);
        tick.run(true);
        QCOMPARE(tick.record.RecordCount, 99996);
        QVERIFY(!tick.record.Recording);
    }

    void exportFailureKeepsData_data() {
        QTest::addColumn<bool>("readOnlyFolder");
        QTest::newRow("csv is a file") << false;
        QTest::newRow("csv folder read-only") << true;
    }
    void exportFailureKeepsData() {
        QFETCH(bool, readOnlyFolder);
        QTemporaryDir dir;
        const QString csv = dir.filePath("csv");
        if (readOnlyFolder) {
            QVERIFY(QDir().mkpath(csv));
            QFile::setPermissions(csv, QFile::ReadOwner | QFile::ExeOwner);
            QFile probe(csv + "/probe");
            if (probe.open(QIODevice::WriteOnly))
                QSKIP("permissions do not bind here (running as root)");
        } else {
            QFile file(csv);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        RecordBuffer buffer;
        MonitorState state;
        buffer.start(0);
        buffer.append(0.5, state);
        const CsvExport::Result r = CsvExport::write(buffer, dir.path(), titles);
        QFile::setPermissions(csv, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!r.ok);
        QCOMPARE(r.path, dir.filePath("csv/log.csv"));
        QCOMPARE(buffer.RecordCount, 4);
        QCOMPARE(buffer.value(0), 0.5f);
    }
};

QTEST_GUILESS_MAIN(TestMonitor)
#include "tst_monitor.moc"
