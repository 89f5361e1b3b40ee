// Parameter read and write against the virtual drive's behaviour on a fake line
// and a fake clock: conversions, checksums, failures, and the guard that keeps
// other commands out while a transfer runs.
#include "FakeLinkPort.h"
#include "FakeTransferHost.h"
#include "LangModule.h"
#include "ParamModule.h"
#include "ParamTransfer.h"
#include "ProtocolModule.h"
#include "RecordingPrompts.h"

#include <QtTest>
#include <memory>

class TestParamTransfer : public QObject {
    Q_OBJECT

private:
    // Everything a transfer touches, wired to the virtual drive on a fake line.
    struct Rig {
        ManualClock clock;
        FakeLinkPort port{clock};
        DriveEmulator drive;
        RecordingPrompts prompts;
        LangModule lang{QString(), prompts};
        ParamModule params{lang, prompts};
        FakeHost host;
        std::unique_ptr<ParamTransfer> transfer;
        int yieldsWhileDisabled = 0;
        int reentriesRefused = 0;
        ProtocolModule protocol{port, clock,
                                [this] {
                                    clock.advance(0.0005);
                                    if (!host.commandsEnabled)
                                        ++yieldsWhileDisabled;
                                    if (transfer->ReadParameters() == ParamTransfer::Result::Busy &&
                                        transfer->WriteParameters() == ParamTransfer::Result::Busy)
                                        ++reentriesRefused;
                                },
                                [this](double s) {
                                    clock.advance(s);
                                    drive.tick(clock.monotonicSeconds());
                                    port.drainDrive();
                                }};

        explicit Rig(int firmware = 830) {
            lang.setText(106, QStringLiteral("No port selected"));
            lang.setText(111, QStringLiteral("Writing"));
            lang.setText(112, QStringLiteral("Reading"));
            lang.setText(113, QStringLiteral("No answer"));
            for (int k = 0; k < ParamModule::Count; ++k) {
                ParamDef& def = params.ParamCatalogue[std::size_t(k)];
                def.name = QStringLiteral("P%1").arg(k);
                def.id = QStringLiteral("p%1").arg(k);
                def.minValue = -40000;
                def.maxValue = 70000;
            }
            params.ParamCatalogue[2].scale = 1000; // a speed in m/s, raw mm/s
            params.ParamCatalogue[10].minVersion = 900;
            params.ParamCatalogue[20].minVersion = 826;
            params.ParamCatalogue[40].scale = 0;
            params.ParamCatalogue[70].minVersion = 826;
            params.setGridRowLookup([](int k) { return k == 60 ? ParamModule::NoMatch : k + 1; });
            for (int k = 0; k < ParamModule::Count; ++k)
                params.ParamValues[std::size_t(k)] = 7.0f;
            drive.setFirmware(firmware);
            for (int k = 0; k < 125; ++k)
                drive.words()[std::size_t(k)] = std::uint16_t(100 + k);
            host.version = firmware > 826;
            port.freePorts = {1};
            port.open(1);
            port.drive = &drive;
            transfer = std::make_unique<ParamTransfer>(protocol, params, lang, prompts, host, host,
                                                       host, host);
        }
    };

private slots:
    void readLongBlock() {
        Rig rig;
        rig.drive.words()[2] = 1500;   // 1.5 m/s
        rig.drive.words()[3] = 0x8000; // signed words
        rig.drive.words()[4] = 0xFFFF;
        rig.drive.words()[5] = 0x7FFF;
        rig.drive.words()[60] = 0xFFFE;
        rig.drive.setMonitoring(true); // streaming when the read starts
        rig.drive.tick(0);
        rig.port.drainDrive();
        rig.host.monitorInFront = true;

        QCOMPARE(rig.transfer->ReadParameters(), ParamTransfer::Result::Done);
        QVERIFY(rig.prompts.messages.isEmpty());
        QCOMPARE(rig.params.driveVersion, 830.0f);
        QCOMPARE(rig.params.GetParameter(2), 1.5f);
        QCOMPARE(rig.host.cells.value(3), QStringLiteral("1.5"));
        QCOMPARE(rig.params.GetParameter(3), -32768.0f);
        QCOMPARE(rig.params.GetParameter(4), -1.0f);
        QCOMPARE(rig.params.GetParameter(5), 32767.0f);
        QCOMPARE(rig.params.GetParameter(60), -2.0f); // no grid row: unscaled, no cell
        QVERIFY(!rig.host.cells.contains(61));
        QCOMPARE(rig.params.GetParameter(40), 0.0f); // scale 0: zero, cell untouched
        QVERIFY(!rig.host.cells.contains(41));
        QCOMPARE(rig.host.cells.value(11), QStringLiteral("N/A")); // minVersion 900
        QCOMPARE(rig.params.GetParameter(10), 0.0f);
        QCOMPARE(rig.params.GetParameter(20), 120.0f); // minVersion 826 is present on 830
        QCOMPARE(rig.params.GetParameter(126), 7.0f);  // beyond the block
        QVERIFY(rig.host.ready);
        QVERIFY(rig.host.identical);
        QCOMPARE(rig.host.simulations, 1);
        QCOMPARE(rig.host.progressLabel, QStringLiteral("Reading"));
        QVERIFY(!rig.host.progressShown);
        QVERIFY(rig.host.commandsEnabled);
        QVERIFY(rig.yieldsWhileDisabled > 0);
        QCOMPARE(rig.reentriesRefused, rig.yieldsWhileDisabled);
        QVERIFY(rig.port.tx.startsWith("AAAAAAAAD"));
        QVERIFY(rig.port.tx.endsWith("M")); // the monitor page is in front
    }

    void readShortBlock() {
        Rig rig(826);
        rig.host.monitorInFront = false;
        QCOMPARE(rig.transfer->ReadParameters(), ParamTransfer::Result::Done);
        QCOMPARE(rig.params.driveVersion, 0.0f);
        QCOMPARE(rig.host.cells.value(21), QStringLiteral("N/A")); // 826 > version 0
        QCOMPARE(rig.params.GetParameter(20), 0.0f);
        QCOMPARE(rig.params.GetParameter(61), 161.0f);
        QCOMPARE(rig.params.GetParameter(62), 7.0f); // only 0..61 change
        QCOMPARE(rig.params.GetParameter(70), 7.0f);
        QVERIFY(!rig.host.cells.contains(71));
        QCOMPARE(rig.port.tx, QByteArray("AAAAAAAAD"));
        QVERIFY(rig.prompts.messages.isEmpty());
    }

    void readFailures_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("arg");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("text");
        using R = ParamTransfer::Result;
        QTest::newRow("no answer") << "no-answer" << 0 << int(R::NoAnswer) << "No answer";
        QTest::newRow("checksum off by one")
            << "bad-checksum" << 0 << int(R::BadChecksum) << "Bad Checksum";
        QTest::newRow("dropped byte") << "drop-byte" << 17 << int(R::NoAnswer) << "No answer";
        QTest::newRow("garbage before the leading byte")
            << "garbage" << 3 << int(R::BadChecksum) << "Bad Checksum";
        QTest::newRow("line closes mid-read") << "hangup-read" << 60 << int(R::LineLost) << "";
    }
    void readFailures() {
        QFETCH(QString, fault);
        QFETCH(int, arg);
        QFETCH(int, result);
        QFETCH(QString, text);
        Rig rig;
        auto& f = rig.drive.faults();
        if (fault == "no-answer")
            f.noAnswer = true;
        else if (fault == "bad-checksum")
            f.badChecksum = true;
        else if (fault == "drop-byte")
            f.dropByte = arg;
        else if (fault == "garbage")
            f.garbageBefore = arg;
        else
            f.hangupReadAfter = arg;
        const auto before = rig.params.ParamValues;
        const double start = rig.clock.monotonicSeconds();

        QCOMPARE(int(rig.transfer->ReadParameters()), result);
        QCOMPARE(rig.prompts.texts(), text.isEmpty() ? QStringList() : QStringList{text});
        if (!text.isEmpty()) {
            QCOMPARE(rig.prompts.messages.first().icon, Prompts::Icon::Critical);
            QCOMPARE(rig.prompts.messages.first().title, QStringLiteral("ORVAN-Quvera"));
        }
        QVERIFY(rig.params.ParamValues == before);
        QVERIFY(rig.host.cells.isEmpty());
        QCOMPARE(rig.params.driveVersion, 100000.0f);
        QVERIFY(!rig.host.ready);
        QVERIFY(rig.host.commandsEnabled);
        QVERIFY(!rig.host.progressShown);
        if (result == int(ParamTransfer::Result::NoAnswer))
            QVERIFY(rig.clock.monotonicSeconds() - start > 3.0); // 1 s settle + 2 s time-out
    }

    void noPortSelected() {
        Rig rig;
        rig.host.port = 0;
        QCOMPARE(rig.transfer->ReadParameters(), ParamTransfer::Result::NoPort);
        QCOMPARE(rig.transfer->WriteParameters(), ParamTransfer::Result::NoPort);
        QCOMPARE(rig.prompts.texts(), QStringList({"No port selected", "No port selected"}));
        QCOMPARE(rig.prompts.messages.first().icon, Prompts::Icon::Information);
        QVERIFY(rig.port.tx.isEmpty());
        QCOMPARE(rig.host.gateChanges, 0);
    }

    void rawWords_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<float>("scale");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<int>("word");
        QTest::newRow("0.5 to even") << 0.5f << 1.0f << true << 0;
        QTest::newRow("1.5 to even") << 1.5f << 1.0f << true << 2;
        QTest::newRow("2.5 to even") << 2.5f << 1.0f << true << 2;
        QTest::newRow("-1 as FFFF") << -1.0f << 1.0f << true << 0xFFFF;
        QTest::newRow("lowest") << -32768.0f << 1.0f << true << 0x8000;
        QTest::newRow("highest") << 65535.0f << 1.0f << true << 0xFFFF;
        QTest::newRow("scaled") << 0.7f << 1000.0f << true << 700;
        QTest::newRow("above a word") << 65536.0f << 1.0f << false << 0;
        QTest::newRow("below a word") << -32769.0f << 1.0f << false << 0;
        QTest::newRow("scaled out") << 70.0f << 1000.0f << false << 0;
        QTest::newRow("infinite") << std::numeric_limits<float>::infinity() << 1.0f << false << 0;
    }
    void rawWords() {
        QFETCH(float, value);
        QFETCH(float, scale);
        QFETCH(bool, fits);
        QFETCH(int, word);
        std::uint16_t w = 0;
        QCOMPARE(ParamTransfer::rawWord(value, scale, &w), fits);
        if (fits)
            QCOMPARE(int(w), word);
    }

    void writeShortBlockThenReadBack() {
        Rig rig(826);
        rig.params.ParamValues[0] = 0.5f;
        rig.params.ParamValues[1] = 1.5f;
        rig.params.ParamValues[3] = 2.5f;
        rig.params.ParamValues[4] = -1.0f;
        rig.params.ParamValues[2] = 0.7f; // scale 1000
        QCOMPARE(rig.transfer->WriteParameters(), ParamTransfer::Result::Done);
        QVERIFY2(rig.prompts.messages.isEmpty(), qPrintable(rig.prompts.texts().join('|')));
        // 62 words, trailer and checksum after the "U", then the read-back.
        QCOMPARE(rig.port.tx.left(9), QByteArray("AAAAAAAAU"));
        QCOMPARE(rig.port.tx.size(), 9 + 128 + 9);
        QCOMPARE(rig.port.tx.right(9), QByteArray("AAAAAAAAD"));
        QCOMPARE(rig.drive.words()[0], std::uint16_t(0));
        QCOMPARE(rig.drive.words()[1], std::uint16_t(2));
        QCOMPARE(rig.drive.words()[3], std::uint16_t(2));
        QCOMPARE(rig.drive.words()[4], std::uint16_t(0xFFFF));
        QCOMPARE(rig.drive.words()[2], std::uint16_t(700));
        QCOMPARE(rig.drive.words()[62], std::uint16_t(162)); // not in a short block
        // The read-back shows what the drive now holds.
        QCOMPARE(rig.params.GetParameter(0), 0.0f);
        QCOMPARE(rig.params.GetParameter(3), 2.0f);
        QCOMPARE(rig.params.GetParameter(4), -1.0f);
        QCOMPARE(rig.params.GetParameter(2), 0.7f);
        QCOMPARE(rig.host.progressLabel, QStringLiteral("Reading"));
        QVERIFY(rig.host.ready);
        QVERIFY(rig.host.commandsEnabled);
        QVERIFY(rig.yieldsWhileDisabled > 62);
        QCOMPARE(rig.reentriesRefused, rig.yieldsWhileDisabled);
    }

    void writeLongBlockRoundTrip() {
        Rig rig;
        for (int k = 0; k < 126; ++k)
            rig.params.ParamValues[std::size_t(k)] = float((k * 37) % 500 - 100);
        rig.params.ParamValues[2] = 1.25f;
        QCOMPARE(rig.transfer->WriteParameters(), ParamTransfer::Result::Done);
        QVERIFY(rig.prompts.messages.isEmpty());
        QVERIFY(rig.drive.log().contains(QStringLiteral("U: block stored (126 words)")));
        for (int k = 0; k < 126; ++k) {
            if (k == 10 || k == 40 || k == 125)
                continue; // not present on this drive, scale 0, the drive's own version
            std::uint16_t w = 0;
            QVERIFY(ParamTransfer::rawWord(rig.params.GetParameter(k),
                                           rig.params.ParamCatalogue[std::size_t(k)].scale, &w));
            QCOMPARE(rig.drive.words()[std::size_t(k)], w);
        }
        QCOMPARE(rig.params.GetParameter(2), 1.25f);
        QCOMPARE(rig.params.GetParameter(125), 830.0f);
    }

    void writeRefusesValueOutsideAWord() {
        Rig rig;
        rig.params.ParamValues[5] = 65536.0f; // inside the catalogue's limits, not a word
        const auto words = rig.drive.words();
        QCOMPARE(rig.transfer->WriteParameters(), ParamTransfer::Result::Refused);
        QCOMPARE(rig.prompts.messages.size(), 1);
        QVERIFY(rig.prompts.messages.first().text.contains(QStringLiteral("P5")));
        QVERIFY(rig.prompts.messages.first().text.contains(QStringLiteral("65536")));
        QVERIFY(rig.port.tx.isEmpty());
        QVERIFY(rig.drive.words() == words);
        QCOMPARE(rig.host.gateChanges, 0);
    }

    void lineClosesMidWrite() {
        Rig rig;
        rig.drive.faults().hangupWriteAfter = 40;
        int notices = 0;
        QObject::connect(&rig.port, &LinkPort::lineLostNotice, [&notices] { ++notices; });
        const auto words = rig.drive.words();
        QCOMPARE(rig.transfer->WriteParameters(), ParamTransfer::Result::LineLost);
        QCOMPARE(notices, 1);
        QVERIFY(rig.prompts.messages.isEmpty()); // the connection dialog reports it
        QVERIFY(rig.drive.words() == words);
        QVERIFY(!rig.port.tx.contains('D')); // no read-back on a dead line
        QVERIFY(rig.host.commandsEnabled);
        QVERIFY(!rig.host.progressShown);
    }
};

QTEST_GUILESS_MAIN(TestParamTransfer)
#include "tst_paramtransfer.moc"
