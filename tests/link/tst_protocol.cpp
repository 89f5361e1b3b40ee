// The wire protocol: checksums, monitor frames, the receive time-out, flushing and
// sends on a line that is gone.
#include "FakeLinkPort.h"
#include "ProtocolModule.h"

#include <QtTest>

class TestProtocol : public QObject {
    Q_OBJECT

private:
    struct Rig {
        ManualClock clock;
        FakeLinkPort port{clock};
        int yields = 0;
        ProtocolModule protocol{port, clock,
                                [this] {
                                    ++yields;
                                    clock.advance(0.001);
                                },
                                [this](double s) { clock.advance(s); }};
        Rig() {
            port.freePorts = {1};
            port.open(1);
        }
    };

private slots:
    void frameChecksum_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("checksum");
        QTest::newRow("worked example") << QByteArray::fromHex("012c0064000a") << 0x9B;
        QTest::newRow("sum 255 goes as 254") << QByteArray::fromHex("807f00000000") << 0xFE;
        QTest::newRow("wraps at 256") << QByteArray::fromHex("fefe04000000") << 0x00;
        QTest::newRow("all zero") << QByteArray::fromHex("000000000000") << 0x00;
    }
    void frameChecksum() {
        QFETCH(QByteArray, data);
        QFETCH(int, checksum);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
        QCOMPARE(int(ProtocolModule::frameChecksum(bytes)), checksum);
        // The drive's own codec must agree, or the end-to-end tests prove nothing.
        QCOMPARE(int(DriveEmulator::frameSum(bytes)), checksum);
    }

    void encodeFrameRefusesReservedByte() {
        QCOMPARE(ProtocolModule::encodeFrame(0x012C, 0x0064, 0x000A),
                 QByteArray::fromHex("ff012c0064000a9b"));
        QVERIFY(ProtocolModule::encodeFrame(0x00FF, 0, 0).isEmpty());
        QVERIFY(ProtocolModule::encodeFrame(0, 0xFF00, 0).isEmpty());
    }

    void blockChecksumWorkedExample() {
        QList<std::uint16_t> words(62, 0);
        words[0] = 0x0102;
        words[1] = 0xFFFF;
        const QByteArray block = ProtocolModule::encodeBlock(words);
        QCOMPARE(block.size(), 128); // 62 words, trailer and checksum
        QCOMPARE(block.right(4), QByteArray::fromHex("00010123"));
        QCOMPARE(block.left(4), QByteArray::fromHex("0102ffff"));
        QCOMPARE(int(DriveEmulator::blockSum(words.constData(), 62, 1)), 291);
    }

    void receivePacket_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("left"); // bytes still waiting afterwards
        QTest::newRow("good frame") << QByteArray::fromHex("012c0064000a9b") << true << 0;
        QTest::newRow("sum 255 with 254") << QByteArray::fromHex("807f00000000fe") << true << 0;
        QTest::newRow("sum 255 with 255") << QByteArray::fromHex("807f00000000ff") << false << 0;
        QTest::newRow("checksum off by one") << QByteArray::fromHex("012c0064000a9c") << false << 0;
        QTest::newRow("255 inside stops at once")
            << QByteArray::fromHex("0102ff0400059b") << false << 4;
        QTest::newRow("checksum byte 255 with sum 255 still rejected")
            << QByteArray::fromHex("fe0100000000ff") << false << 0;
    }
    void receivePacket() {
        QFETCH(QByteArray, input);
        QFETCH(bool, accepted);
        QFETCH(int, left);
        Rig rig;
        rig.port.rx = input;
        std::uint8_t buffer[6] = {};
        QCOMPARE(rig.protocol.ReceivePacket(buffer), accepted);
        QCOMPARE(rig.port.rx.size(), left);
        if (accepted)
            QCOMPARE(QByteArray(reinterpret_cast<char*>(buffer), 6), input.left(6));
    }

    void receivePacketGivesUpOnSilence() {
        Rig rig;
        rig.port.rx = QByteArray::fromHex("0102");
        std::uint8_t buffer[6] = {};
        QVERIFY(!rig.protocol.ReceivePacket(buffer));
        QVERIFY(rig.clock.monotonicSeconds() > 2.0);
    }

    void receivePacketWaitsWhileYielding() {
        Rig rig;
        rig.port.rx = QByteArray::fromHex("012c00");
        rig.port.deliverAt(0.05, QByteArray::fromHex("64000a9b"));
        std::uint8_t buffer[6] = {};
        QVERIFY(rig.protocol.ReceivePacket(buffer));
        QVERIFY(rig.yields > 0);
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
            rig.port.deliverAt(arrival, QByteArray(1, char(expected == 0 ? 0 : expected)));
        rig.protocol.receiveTimedOut = -1;
        QCOMPARE(int(rig.protocol.ReceiveByte(2.0f)), expected);
        QCOMPARE(rig.protocol.receiveTimedOut, short(timedOut ? -1 : 0));
        if (timedOut) {
            QVERIFY(rig.clock.monotonicSeconds() > 2.0);
            QVERIFY(rig.clock.monotonicSeconds() < 2.01);
        }
        QCOMPARE(rig.yields, 0); // the receive never runs the event loop
    }

    void receiveByteOnLostLineReturnsAtOnce() {
        Rig rig;
        rig.port.pullLine();
        rig.protocol.ReceiveByte(2.0f);
        QCOMPARE(rig.protocol.receiveTimedOut, short(-1));
        QCOMPARE(rig.clock.monotonicSeconds(), 0.0);
    }

    void flushInput() {
        Rig rig;
        rig.protocol.FlushInput();
        QCOMPARE(rig.clock.monotonicSeconds(), 0.0);
        rig.port.rx = QByteArray(300, 'x');
        rig.port.deliverAt(1.0, "late");
        rig.protocol.FlushInput();
        QVERIFY(rig.port.rx.isEmpty());
        QCOMPARE(rig.port.later.size(), 1); // bytes still on their way are not waited for
    }

    void sendsGiveUpOnDeadLine_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("closed port") << 0;
        QTest::newRow("line pulled") << 1;
        QTest::newRow("transmit buffer never drains") << 2;
    }
    void sendsGiveUpOnDeadLine() {
        QFETCH(int, how);
        Rig rig;
        if (how == 0)
            rig.port.close();
        else if (how == 1)
            rig.port.pullLine();
        else
            rig.port.stuckBytes = 5;
        rig.protocol.SendData("D");
        rig.protocol.SendByte(0x41);
        QVERIFY(rig.port.tx.isEmpty());
        QVERIFY(rig.clock.monotonicSeconds() < 2 * ProtocolModule::SendTimeoutSeconds + 0.1);
    }

    void sendDataWritesInOneGo() {
        Rig rig;
        rig.protocol.SendData(ProtocolModule::StopBurst);
        rig.protocol.SendByte(0xFF);
        QCOMPARE(rig.port.tx, QByteArray("AAAAAAAA\xff"));
    }
};

QTEST_GUILESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
