// The monitor tick without widgets on an in-memory line: frame decoding, the drain,
// chart marks, the G gauge, the scale table and the recording with its export.
#include "monitor/ChartScale.h"
#include "monitor/GGauge.h"
#include "monitor/MonitorFrame.h"
#include "monitor/MonitorTick.h"
#include "monitor/RecordBuffer.h"
#include "platform/NumberText.h"
#include "support/MonitorFrames.h"

#include <QTemporaryDir>
#include <QtTest>

using Values = QList<int>; // speed, accel, current

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
        QTest::newRow("a flood of garbage: one tick reads a bounded share")
            << QByteArray(100000, '\x11') + first << false << Values{0, 0, 0}
            << 100008 - MonitorFrame::MaxDrainBytes;
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

    void tickMarksAndGauge() {
        // Ticks every 50 ms, one frame each, starting a moment before midnight on the
        // wall clock, which the monitor must not notice.
        Line line;
        line.clock.setMidnightOffset(86399.9);
        QList<int> marks;
        QList<float> gauges;
        for (int k = 0; k < 60; ++k) {
            line.port.rx = monitorFrame(40 * k, 0, 0);
            const MonitorTick::Report r = line.tick.run(true);
            QVERIFY(r.frameArrived);
            marks << line.tick.history.at(line.tick.history.WritePos).mark;
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
    }

    void offlineTick() {
        Line line;
        line.tick.record.start(0);
        line.port.rx = first;
        const MonitorTick::Report a = line.tick.run(false);
        QVERIFY(a.printOfflineNotice && !line.tick.run(false).printOfflineNotice);
        QCOMPARE(a.texts.speed, QStringLiteral("..."));
        QCOMPARE(line.tick.record.RecordCount, 0); // nothing recorded without a port
        QCOMPARE(line.port.rx.size(), 8);          // the line is left alone
        QCOMPARE(line.tick.history.WritePos, 0);
    }

    void scaleStep_data() {
        QTest::addColumn<double>("top");
        QTest::addColumn<double>("step");
        QTest::newRow("500") << 500.0 << 20.0;
        QTest::newRow("500.5 between ranges") << 500.5 << 100.0;
        QTest::newRow("501") << 501.0 << 50.0;
        QTest::newRow("6001") << 6001.0 << 100.0;
    }
    void scaleStep() {
        QFETCH(double, top);
        QTEST(ChartScale::stepFor(top), "step");
    }

    void scaleTicks() {
        // 1 m/s top speed: 0 to 1050 by 50; 13 A rated: 0 to 280 A; none without a top
        // or for an unknown entry; never more than the bound.
        auto ticks = [](int entry, double top) {
            return ChartScale::ticks(ChartScale::plan(entry, top, 130));
        };
        QCOMPARE(ticks(ChartScale::Speed, 1000).size(), 22);
        QCOMPARE(ticks(ChartScale::Speed, 1000).last(), 1050.0);
        QCOMPARE(ticks(ChartScale::Current, 1000).size(), 29);
        QVERIFY(ticks(ChartScale::Speed, 0).isEmpty() && ticks(-1, 1000).isEmpty());
        QCOMPARE(ticks(ChartScale::Speed, 1e12).size(), ChartScale::MaxTicks);
    }

    void gauge_data() {
        QTest::addColumn<float>("g");
        QTest::addColumn<Values>("bar"); // top, height, red, green (-1: colour kept)
        QTest::newRow("1.2 saturates") << 1.2f << Values{GGauge::AxisY - 700, 700, 255, 55};
        QTest::newRow("0.7 below, colour kept") << 0.7f << Values{GGauge::AxisY, 700, -1, -1};
        QTest::newRow("1.02") << 1.02f << Values{GGauge::AxisY - 100, 100, 150, 235};
    }
    void gauge() {
        QFETCH(float, g);
        const GGauge::Display d = GGauge::show(g);
        QTEST((Values{d.barTop, d.barHeight, d.colourChanged ? d.red : -1,
                      d.colourChanged ? d.green : -1}),
              "bar");
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
};

QTEST_GUILESS_MAIN(TestMonitor)
#include "tst_monitor.moc"
