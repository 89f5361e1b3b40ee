// The wire protocol on a fake line: monitor frames and their checksum, the receive
// time-out, and sends and receives on a line that is gone.
#include "link/ProtocolModule.h"
#include "support/FakeLinkPort.h"

#include <QtTest>

class TestProtocol : public QObject {
    Q_OBJECT

    using Rig = FakeLine;

private slots:
    void receivePacket_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("left"); // bytes still waiting afterwards
        QTest::newRow("worked example 0x9B") << QByteArray::fromHex("012c0064000a9b") << true << 0;
        QTest::newRow("sum 255 sent as 0xFE") << QByteArray::fromHex("807f00000000fe") << true << 0;
        QTest::newRow("sum 255 sent as 255") << QByteArray::fromHex("807f00000000ff") << false << 0;
        QTest::newRow("wraps at 256") << QByteArray::fromHex("fefe0400000000") << true << 0;
        QTest::newRow("checksum off by one") << QByteArray::fromHex("012c0064000a9c") << false << 0;
        QTest::newRow("255 inside stops at once")
            << QByteArray::fromHex("0102ff0400059b") << false << 4;
        QTest::newRow("silence after two bytes") << QByteArray::fromHex("0102") << false << 0;
    }
    void receivePacket() {
        QFETCH(QByteArray, input);
        QFETCH(bool, accepted);
        QFETCH(int, left);
        Rig rig;
        rig.port.rx = input.left(2);
        rig.port.deliverAt(0.05, input.mid(2));
        std::uint8_t buffer[6] = {};
        QCOMPARE(rig.protocol.ReceivePacket(buffer), accepted);
        QCOMPARE(rig.port.rx.size(), left);
        QVERIFY(rig.yields > 0); // waits with the UI running
        if (accepted) {
            QCOMPARE(QByteArray(reinterpret_cast<char*>(buffer), 6), input.left(6));
            // The drive's own codec must agree, or the end-to-end tests prove nothing.
            QCOMPARE(DriveEmulator::frameSum(buffer), std::uint8_t(input[6]));
        } else if (input.size() == 2)
            QVERIFY(rig.clock.monotonicSeconds() > 2.0);
    }

    void receiveByte_data() {
        QTest::addColumn<double>("arrival"); // < 0: nothing arrives
        QTest::addColumn<int>("expected");
        QTest::addColumn<bool>("timedOut");
        QTest::newRow("nothing") << -1.0 << 0 << true;
        QTest::newRow("zero byte in time") << 1.5 << 0 << false;
        QTest::newRow("byte at the limit") << 2.0 << 0x41 << false;
        QTest::newRow("byte too late") << 2.5 << 0 << true;
    }
    void receiveByte() {
        QFETCH(double, arrival);
        QFETCH(int, expected);
        QFETCH(bool, timedOut);
        Rig rig;
        if (arrival >= 0)
            rig.port.deliverAt(arrival, QByteArray(1, char(expected)));
        const std::optional<std::uint8_t> byte = rig.protocol.ReceiveByte(2.0f);
        QCOMPARE(byte, timedOut ? std::nullopt : std::optional<std::uint8_t>(expected));
        if (timedOut)
            QVERIFY(rig.clock.monotonicSeconds() > 2.0 && rig.clock.monotonicSeconds() < 2.01);
        QCOMPARE(rig.yields, 0); // the receive never runs the event loop
    }

    void deadLineGivesUp_data() {
        QTest::addColumn<bool>("pulled"); // or the transmit buffer never drains
        QTest::newRow("line pulled") << true;
        QTest::newRow("transmit buffer never drains") << false;
    }
    void deadLineGivesUp() {
        QFETCH(bool, pulled);
        Rig rig;
        QSignalSpy notices(&rig.port, &LinkPort::lineLostNotice);
        if (pulled)
            rig.port.pullLine();
        else
            rig.port.stuckBytes = 5;
        QVERIFY(!rig.protocol.SendData("D"));
        rig.protocol.SendByte(0x41);
        QVERIFY(rig.port.tx.isEmpty());
        // The first time-out ends it: the next send does not wait again, and the
        // wait blocks on the port instead of running the event loop.
        QVERIFY(rig.clock.monotonicSeconds() < ProtocolModule::SendTimeoutSeconds + 0.1);
        QCOMPARE(rig.yields, 0);
        QVERIFY(rig.port.lineLost());
        const double before = rig.clock.monotonicSeconds();
        QVERIFY(!rig.protocol.ReceiveByte(2.0f).has_value());
        QCOMPARE(rig.clock.monotonicSeconds(), before); // no wait on a line that is gone
        // A stalled line is closed and reported as a pulled one is.
        QCoreApplication::processEvents();
        QCOMPARE(notices.size(), pulled ? 0 : 1);
        QVERIFY(!rig.port.isOpen());
    }

    // The log keeps the last minutes, one line per burst, and no more bytes than its
    // bound however fast they come.
    void linkLog() {
        LinkLog log;
        log.sent(0.0, "D");
        log.received(0.01, "\x01");
        log.received(0.02, "\x02");
        log.note(0.5, QStringLiteral("frame checksum failed"));
        QCOMPARE(log.text(1.0), "-1.000 > 44\n-0.990 < 01 02\n-0.500 ! frame checksum failed\n");
        log.sent(LinkLog::KeepSeconds + 0.6, "A");
        QCOMPARE(log.text(LinkLog::KeepSeconds + 0.6), "0.000 > 41\n");
        qsizetype kept = 0;
        for (int i = 0; i < 3000; ++i) {
            log.received(1000.0 + i * 0.1, QByteArray(1024, 'x'));
            kept = 0;
            for (const LinkLog::Entry& e : log.entries())
                kept += e.bytes.size();
            QVERIFY(kept <= LinkLog::KeepBytes);
        }
        QCOMPARE(kept, LinkLog::KeepBytes);
    }
};

QTEST_GUILESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
