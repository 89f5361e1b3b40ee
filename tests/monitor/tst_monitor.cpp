// The live monitor on an in-memory line: frame decoding, the drain of a tick, and the
// page's two timers.
#include "link/ProtocolModule.h"
#include "monitor/MonitorFrame.h"
#include "monitor/MonitorPage.h"
#include "support/FakeLinkPort.h"

#include <QLabel>
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

const QByteArray first = QByteArray::fromHex("ff012c0064000a9b");
const QByteArray second = QByteArray::fromHex("ff00c800320005fe"); // sum 255 goes as 254

} // namespace

class TestMonitor : public QObject {
    Q_OBJECT

private slots:
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
        QTest::addColumn<Values>("raw");
        QTest::addColumn<int>("left");
        QTest::newRow("stray byte, two frames: the second wins")
            << "\x12" + first + second << Values{200, 50, 5} << 0;
        QTest::newRow("bad checksum dropped, a partial frame waits")
            << QByteArray::fromHex("ff00c800320005fd") + first + second.left(7)
            << Values{300, 100, 10} << 7;
    }
    void drain() {
        QFETCH(QByteArray, input);
        Line line;
        line.port.rx = input;
        MonitorState state;
        QVERIFY(MonitorFrame::drain(line.protocol, state));
        QTEST(values(state), "raw");
        QTEST(int(line.port.rx.size()), "left");
        QCOMPARE(line.clock.monotonicSeconds(), 0.0); // never waited for the drive
    }

    void page() {
        QLocale::setDefault(QLocale::c());
        Line line;
        int port = 0;
        bool same = false;
        QList<bool> warnings;
        MonitorPage page(line.protocol, {[&] { return port; }, [&] { return same; },
                                         [&](bool shown) { warnings << shown; }});
        auto shown = [&] {
            QStringList out;
            for (const char* name : {"LabelVValue", "LabelAValue", "LabelIValue"})
                out << page.findChild<QLabel*>(name)->text();
            return out.join(u' ');
        };
        auto* timer = page.findChild<QTimer*>(QStringLiteral("Timer1"));
        QVERIFY(!timer->isActive()); // until start-up enables it
        line.port.rx = first;
        page.Timer1_Timer();
        QCOMPARE(line.port.rx.size(), 8); // no port in use: the line is left alone
        QVERIFY(timer->isActive() && timer->isSingleShot());
        port = 1;
        page.Timer1_Timer();
        QCOMPARE(shown(), "0.30 0.10 1.00");
        line.port.rx = second.left(7);
        page.Timer1_Timer();
        QCOMPARE(line.port.rx.size(), 7); // fewer than 8 bytes: nothing read
        QCOMPARE(shown(), "... ... ...");
        QCOMPARE(values(page.state()), Values({300, 100, 10})); // kept for the chart

        for (bool identical : {false, false, true, true}) {
            same = identical;
            page.Timer_1Sec_Timer();
        }
        QCOMPARE(warnings, QList<bool>({true, false, false, false})); // blinks while values differ
    }
};

QTEST_MAIN(TestMonitor)
#include "tst_monitor.moc"
