// Monitor frames: decoding with the texts the labels show, and the drain of a tick.
#include "FakeLinkPort.h"
#include "MonitorFrame.h"
#include "ProtocolModule.h"

#include <QtTest>

using Values = QList<int>; // speed, accel, current

class TestMonitorFrame : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void decode_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<Values>("values");
        QTest::addColumn<QString>("shown");
        QTest::newRow("worked example")
            << QByteArray::fromHex("012c0064000a") << Values{300, 100, 10} << "0.30 0.10 1.00";
        QTest::newRow("speed 0xFFFF is 1 mm/s")
            << QByteArray::fromHex("ffff00000000") << Values{1, 0, 0} << "0.00 0.00 0.00";
        QTest::newRow("speed 0x8000 is 32768 mm/s")
            << QByteArray::fromHex("800000000000") << Values{32768, 0, 0} << "32.77 0.00 0.00";
        // 65.535 rounds up on its decimal digits, where printf would give 65.53.
        QTest::newRow("accel and current unsigned")
            << QByteArray::fromHex("0000ffff04d3") << Values{0, 65535, 1235} << "0.00 65.54 123.50";
    }
    void decode() {
        QFETCH(QByteArray, data);
        QFETCH(Values, values);
        QFETCH(QString, shown);
        MonitorState state;
        MonitorFrame::decode(reinterpret_cast<const std::uint8_t*>(data.constData()), state);
        QCOMPARE(Values({state.SpeedRaw, state.AccelRaw, state.CurrentRaw}), values);
        const MonitorFrame::Texts texts = MonitorFrame::labelTexts(state, true);
        QCOMPARE(QStringList({texts.speed, texts.accel, texts.current}).join(u' '), shown);
    }

    void drain_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("arrived");
        QTest::addColumn<Values>("values"); // 7, 8, 9 before the drain
        QTest::addColumn<int>("left");
        const QByteArray first = QByteArray::fromHex("ff012c0064000a9b");
        const QByteArray second = QByteArray::fromHex("ff00c800320005fe"); // sum 255 sent as 254
        QTest::newRow("stray byte, two frames: the second wins")
            << "\x12" + first + second << true << Values{200, 50, 5} << 0;
        QTest::newRow("bad checksum dropped")
            << QByteArray::fromHex("ff012c0064000a9c") + second << true << Values{200, 50, 5} << 0;
        QTest::newRow("incomplete frame waits for the next tick")
            << first + second.left(7) << true << Values{300, 100, 10} << 7;
        QTest::newRow("fewer than 8 bytes: nothing read")
            << first.left(7) << false << Values{7, 8, 9} << 7;
    }
    void drain() {
        QFETCH(QByteArray, input);
        QFETCH(bool, arrived);
        QFETCH(Values, values);
        QFETCH(int, left);
        ManualClock clock;
        FakeLinkPort port(clock);
        port.freePorts = {1};
        port.open(1);
        ProtocolModule protocol(
            port, clock, [&] { clock.advance(0.001); }, [&](double s) { clock.advance(s); });
        port.rx = input;
        MonitorState state{7, 8, 9};
        QCOMPARE(MonitorFrame::drain(protocol, state), arrived);
        QCOMPARE(Values({state.SpeedRaw, state.AccelRaw, state.CurrentRaw}), values);
        QCOMPARE(port.rx.size(), left);
        QCOMPARE(clock.monotonicSeconds(), 0.0); // never waited for the drive
    }
};

QTEST_GUILESS_MAIN(TestMonitorFrame)
#include "tst_monitorframe.moc"
