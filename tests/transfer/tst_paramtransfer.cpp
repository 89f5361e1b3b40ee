// Parameter read and write against the virtual drive's behaviour on a fake line and
// a fake clock: conversions, block sizes and checksum, refused values, the version
// word, doubtful blocks of old firmware, what the history keeps, and the guard that
// keeps other commands out while a transfer runs. Faults on the line are in the
// end-to-end tests.
#include "lang/LangModule.h"
#include "link/ProtocolModule.h"
#include "params/ParamModule.h"
#include "support/FakeLinkPort.h"
#include "support/FakeTransferHost.h"
#include "support/RecordingPrompts.h"
#include "support/ScriptedReview.h"
#include "transfer/ArchivedTransfer.h"
#include "transfer/ParamTransfer.h"

#include <QTemporaryDir>
#include <QtTest>

using Result = ParamTransfer::Result;

class TestParamTransfer : public QObject {
    Q_OBJECT

private:
    struct Rig {
        ManualClock clock;
        FakeLinkPort port{clock};
        DriveEmulator drive;
        RecordingPrompts prompts;
        LangModule lang{QString()};
        ParamModule params{lang, prompts};
        FakeHost host;
        int yieldsWhileDisabled = 0;
        int reentriesRefused = 0;
        // Every time the transfer lets the UI run, a second read and write are tried.
        ProtocolModule protocol{port, clock,
                                [this] {
                                    clock.advance(0.0005);
                                    yieldsWhileDisabled += host.commandsEnabled ? 0 : 1;
                                    if (transfer.ReadParameters() == Result::Busy &&
                                        transfer.WriteParameters() == Result::Busy)
                                        ++reentriesRefused;
                                },
                                [this](double s) {
                                    clock.advance(s);
                                    drive.tick(clock.monotonicSeconds());
                                    port.drainDrive();
                                }};
        ParamTransfer transfer{protocol, params, lang, host, host, host};
        QTemporaryDir dir;
        History history{dir.path()};
        ScriptedReview review;
        ArchivedTransfer archived{transfer, params, host, history, review};

        explicit Rig(int firmware = 830) {
            for (int k = 0; k < ParamModule::Count; ++k) {
                params.ParamCatalogue[std::size_t(k)] = {
                    QStringLiteral("P%1").arg(k), {}, {}, -40000, 70000};
                params.SetParameter(k, 7.0f);
            }
            params.ParamCatalogue[2].scale = 1000; // a speed in m/s, raw mm/s
            params.ParamCatalogue[10].minVersion = 900;
            params.ParamCatalogue[20].minVersion = 826;
            params.ParamCatalogue[40].scale = 0;
            params.setGridRowLookup([](int k) { return k == 60 ? ParamModule::NoMatch : k + 1; });
            drive.setFirmware(firmware);
            for (int k = 0; k < 125; ++k)
                drive.words()[std::size_t(k)] = std::uint16_t(100 + k);
            host.version = firmware > 826;
            port.freePorts = {1};
            port.open(1);
            port.drive = &drive;
        }
        // A value stored under an earlier catalogue (a language switch loads the
        // definitions again) that the scale now in force may not convert.
        void storeUnderOtherScale(int k, float value, float scale) {
            ParamDef& def = params.ParamCatalogue[std::size_t(k)];
            def.scale = 1e-30f;
            def.maxValue = 1e30f;
            QCOMPARE(params.SetParameter(k, value), ParamModule::Accepted);
            def.scale = scale;
        }
        QStringList kinds() {
            QStringList out;
            for (const HistoryEntry& e : history.list())
                out << e.kind;
            return out;
        }
        void transferRanGuarded(int minYields) {
            QVERIFY(host.commandsEnabled);
            QVERIFY(!host.progressShown);
            QVERIFY(yieldsWhileDisabled > minYields);
            QCOMPARE(reentriesRefused, yieldsWhileDisabled);
        }
    };

private slots:
    void readLongBlock() {
        Rig rig;
        rig.drive.words()[2] = 1500; // 1.5 m/s
        rig.drive.words()[3] = 0x8000;
        rig.drive.words()[4] = 0xFFFF;
        rig.drive.words()[5] = 0x7FFF;
        rig.drive.words()[60] = 0xFFFE;
        rig.drive.setMonitoring(true); // streaming when the read starts
        rig.drive.tick(0);
        rig.port.drainDrive();

        QCOMPARE(rig.transfer.ReadParameters(), Result::Done);
        QVERIFY(rig.prompts.messages.isEmpty());
        QCOMPARE(rig.params.driveVersion(), 830.0f);
        QCOMPARE(rig.params.GetParameter(2), 1.5f);
        QCOMPARE(rig.host.cells.value(2), QStringLiteral("1.5"));
        QCOMPARE(rig.params.GetParameter(3), -32768.0f);
        QCOMPARE(rig.params.GetParameter(4), -1.0f);
        QCOMPARE(rig.params.GetParameter(5), 32767.0f);
        QCOMPARE(rig.params.GetParameter(60), -2.0f); // no grid row: unscaled, no cell
        QVERIFY(!rig.host.cells.contains(60));
        QCOMPARE(rig.params.GetParameter(40), 0.0f); // scale 0: zero, cell untouched
        QVERIFY(!rig.host.cells.contains(40));
        QCOMPARE(rig.host.cells.value(10), QStringLiteral("N/A")); // needs 900
        QCOMPARE(rig.params.GetParameter(10), 0.0f);
        QCOMPARE(rig.params.GetParameter(20), 120.0f); // needs 826, present on 830
        QCOMPARE(rig.params.GetParameter(126), 7.0f);  // beyond the block
        QVERIFY(rig.transfer.outcome().stored && rig.transfer.outcome().identical);
        rig.transferRanGuarded(0);
        QVERIFY(rig.port.tx.startsWith("AAAAAAAAD"));
        QVERIFY(!rig.port.tx.contains('M')); // streaming is the session's to restart
    }

    // Firmware 8.26 or older: 62 words both ways, the read-back without a checksum.
    void shortBlockWriteAndReadBack() {
        Rig rig(826);
        for (int k = 0; k < 62; ++k)
            rig.params.SetParameter(k, 0.0f);
        const float values[] = {0.5f, 1.5f, 0.0f, 2.5f, 258.0f, -1.0f, -4.0f};
        for (int k = 0; k < 7; ++k)
            rig.params.SetParameter(k, values[k]);
        QCOMPARE(rig.transfer.WriteParameters(), Result::Done);
        // The words sum to 257, so with the start 33 and the trailer the checksum is 291.
        QCOMPARE(rig.port.tx.left(9), QByteArray("AAAAAAAAU"));
        QCOMPARE(rig.port.tx.size(), 9 + 128 + 9);
        QCOMPARE(rig.port.tx.mid(9 + 124, 4), QByteArray::fromHex("00010123"));
        QCOMPARE(rig.port.tx.right(9), QByteArray("AAAAAAAAD"));
        const std::uint16_t words[] = {0, 2, 0, 2, 0x0102, 0xFFFF, 0xFFFC};
        for (int k = 0; k < 7; ++k) {
            QCOMPARE(rig.drive.words()[std::size_t(k)], words[k]);
            QCOMPARE(rig.params.GetParameter(k), float(std::int16_t(words[k]))); // read back
        }
        QCOMPARE(rig.drive.words()[62], std::uint16_t(162)); // not in a short block
        QCOMPARE(rig.params.GetParameter(62), 7.0f);         // nor in the read-back
        QVERIFY(!rig.host.cells.contains(62));
        QCOMPARE(rig.params.driveVersion(), 0.0f);
        QCOMPARE(rig.host.cells.value(20), QStringLiteral("N/A")); // 826 > version 0
        QCOMPARE(rig.host.progressLabels.size(), 2);               // writing, then reading back
        rig.transferRanGuarded(62);
    }

    // The short block has no checksum. A few values outside their limits are listed
    // and the rest may be taken (the setter refusing those few); noise ahead of the
    // block shifts every word, and a block with many such values is never offered.
    void doubtfulShortBlock_data() {
        QTest::addColumn<int>("outside");
        QTest::addColumn<int>("garbage");
        QTest::addColumn<bool>("offered");
        QTest::newRow("within limits") << 0 << 0 << false;
        QTest::newRow("one outside") << 1 << 0 << true;
        QTest::newRow("three outside") << 3 << 0 << true;
        QTest::newRow("four outside") << 4 << 0 << false;
        QTest::newRow("shifted by noise") << 0 << 5 << false;
    }
    void doubtfulShortBlock() {
        QFETCH(int, outside);
        QFETCH(int, garbage);
        QFETCH(bool, offered);
        Rig rig(826);
        for (int k = 11; k < 20; ++k) // shifted words (0x6E00 and the like) lie far above
            rig.params.ParamCatalogue[std::size_t(k)].maxValue = 200;
        for (int k = 0; k < outside; ++k)
            rig.drive.words()[std::size_t(11 + k)] = 300;
        rig.drive.faults().garbageBefore = garbage;
        const auto before = rig.params.ParamValues();

        const Result read = rig.archived.read() == ArchivedTransfer::Outcome::Done
                                ? Result::Done
                                : rig.archived.lastResult();
        if (outside == 0 && garbage == 0) {
            QCOMPARE(read, Result::Done);
            return;
        }
        QCOMPARE(read, Result::Doubtful);
        QVERIFY(rig.params.ParamValues() == before && rig.host.cells.isEmpty());
        QVERIFY(rig.history.list().isEmpty());
        const QList<DoubtfulValue> listed = rig.transfer.outcome().doubtful;
        QVERIFY(listed.size() > ParamTransfer::MaxDoubtfulValues || offered);
        if (outside > 0) {
            QCOMPARE(listed.size(), outside);
            QCOMPARE(listed[0].name, "P11");
            QCOMPARE(listed[0].value, 300.0f);
            QCOMPARE(listed[0].maxValue, 200.0f);
        }

        const bool taken = rig.archived.takeDoubtfulRead() == ArchivedTransfer::Outcome::Done;
        QCOMPARE(taken, offered);
        if (!offered) {
            QVERIFY(rig.params.ParamValues() == before);
            return;
        }
        QCOMPARE(rig.params.GetParameter(19), 119.0f);  // taken
        QCOMPARE(rig.params.GetParameter(11), 7.0f);    // refused by the setter
        QCOMPARE(rig.prompts.messages.size(), outside); // with its warning
        QVERIFY(!rig.transfer.outcome().identical);
        QCOMPARE(rig.kinds(), QStringList{"read"});
        QCOMPARE(rig.transfer.takeDoubtfulRead(), Result::Doubtful); // taken once only
    }

    // Word 125 is the drive's firmware version: a write sends back the one last read,
    // whatever the program's row holds, and a read-back under another version is a
    // failure that leaves the program's values alone.
    void firmwareWord_data() {
        QTest::addColumn<float>("programWord");
        QTest::addColumn<int>("firmwareAfterRead"); // a drive that keeps its word
        QTest::addColumn<Result>("result");
        QTest::newRow("factory -1, stored") << -1.0f << 0 << Result::Done;
        QTest::newRow("no word at all, stored") << 1e30f << 0 << Result::Done;
        QTest::newRow("drive replaced since the read") << -1.0f << 840 << Result::FirmwareChanged;
    }
    void firmwareWord() {
        QFETCH(float, programWord);
        QFETCH(int, firmwareAfterRead);
        QFETCH(Result, result);
        Rig rig;
        rig.drive.setStoresFirmwareWord(firmwareAfterRead == 0);
        QCOMPARE(rig.transfer.ReadDriveSet(), Result::Done);
        if (firmwareAfterRead != 0)
            rig.drive.setFirmware(firmwareAfterRead);
        rig.storeUnderOtherScale(125, programWord, 1.0f);
        rig.params.SetParameter(5, 42.0f);
        QCOMPARE(rig.transfer.WriteParameters(), result);
        QCOMPARE(int(rig.drive.words()[125]), firmwareAfterRead == 0 ? 830 : firmwareAfterRead);
        QCOMPARE(rig.transfer.outcome().stored, result == Result::Done);
        QCOMPARE(rig.params.GetParameter(5), 42.0f);
        QCOMPARE(rig.params.driveVersion(), 830.0f);
        if (result == Result::FirmwareChanged) {
            QCOMPARE(rig.transfer.outcome().firmwareSent, 830);
            QCOMPARE(rig.transfer.outcome().firmwareRead, 840);
            QVERIFY(rig.host.cells.isEmpty());
        }
    }

    // A block the drive refused must not look like a success, nor cost the user's
    // edits; rows the grid does not show are counted apart.
    void writeNotTakenKeepsWantedValues() {
        Rig rig;
        rig.params.ParamCatalogue[90].name = QStringLiteral("*DUMMY*");
        QCOMPARE(rig.transfer.WriteParameters(), Result::Done); // drive and program agree
        QVERIFY(rig.transfer.outcome().identical);
        rig.params.SetParameter(5, 42.0f);
        rig.params.SetParameter(7, 43.0f);
        rig.params.SetParameter(90, 44.0f);
        rig.port.dropTxByte = rig.port.tx.size() + 9 + 20; // a byte of the next block is lost

        QCOMPARE(rig.transfer.WriteParameters(), Result::NotTaken);
        QCOMPARE(rig.drive.words()[5], std::uint16_t(7)); // the drive kept its set
        QCOMPARE(rig.host.cells.value(5), QStringLiteral("7"));
        QCOMPARE(rig.params.GetParameter(5), 42.0f); // what the user meant stays
        QCOMPARE(rig.params.GetParameter(7), 43.0f);
        QCOMPARE(rig.transfer.outcome().notTaken.shown, 2);
        QCOMPARE(rig.transfer.outcome().notTaken.hidden, 1);
        QVERIFY(!rig.transfer.outcome().identical);
    }

    // Values the catalogue refuses keep the program's own: the sets are not identical.
    void readWithRefusedValueIsNotIdentical() {
        Rig rig;
        rig.params.ParamCatalogue[6].maxValue = 50.0f;
        QCOMPARE(rig.transfer.ReadParameters(), Result::Done);
        QCOMPARE(rig.params.GetParameter(6), 7.0f);
        QCOMPARE(rig.prompts.messages.size(), 1); // the setter's limit warning
        QVERIFY(rig.transfer.outcome().stored && !rig.transfer.outcome().identical);
    }

    // A value that does not fit a word refuses the whole write before anything is sent.
    void writeOneWord_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<float>("scale");
        QTest::addColumn<int>("word"); // -1: refused
        QTest::newRow("lowest") << -32768.0f << 1.0f << 0x8000;
        QTest::newRow("highest") << 65535.0f << 1.0f << 0xFFFF;
        QTest::newRow("scaled") << 0.7f << 1000.0f << 700;
        QTest::newRow("above a word") << 65536.0f << 1.0f << -1;
        QTest::newRow("below a word") << -32769.0f << 1.0f << -1;
        // Finite, but beyond any integer type: refused, not converted.
        QTest::newRow("1e20") << 1e20f << 1.0f << -1;
        QTest::newRow("placeholder named by index") << 70000.0f << 1.0f << -2;
    }
    void writeOneWord() {
        QFETCH(float, value);
        QFETCH(float, scale);
        QFETCH(int, word);
        Rig rig;
        if (word == -2)
            rig.params.ParamCatalogue[5].name = QStringLiteral("*DUMMY*");
        rig.storeUnderOtherScale(5, value, scale);
        const auto words = rig.drive.words();
        const Result result = rig.transfer.WriteParameters();
        if (word >= 0) {
            QCOMPARE(result, Result::Done);
            QCOMPARE(int(rig.drive.words()[5]), word);
            return;
        }
        QCOMPARE(result, Result::Refused);
        QCOMPARE(rig.transfer.outcome().refusedName, word == -2 ? "#5" : "P5");
        QVERIFY(rig.port.tx.isEmpty());
        QVERIFY(rig.drive.words() == words);
        QCOMPARE(rig.host.gateChanges, 0);
    }

    // What the history keeps of a write: the drive's set it replaces only when the
    // user approved, and a write the drive did not take under its own kind. A write
    // that cannot start or whose pre-write read fails sends no block and asks nothing.
    void archivedWrite_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("approve");
        QTest::addColumn<Result>("result");
        QTest::addColumn<QStringList>("kinds");
        QTest::newRow("approved") << "" << true << Result::Done << QStringList{"write", "backup"};
        QTest::newRow("cancelled") << "" << false << Result::Done << QStringList{};
        QTest::newRow("not taken")
            << "drop" << true << Result::NotTaken << QStringList{"nottaken", "backup"};
        QTest::newRow("line lost in the block")
            << "hangup" << true << Result::LineLost << QStringList{"backup"};
        QTest::newRow("no backup, not written")
            << "history" << true << Result::Done << QStringList{};
        QTest::newRow("value not a word") << "refused" << true << Result::Refused << QStringList{};
        QTest::newRow("no answer") << "noAnswer" << true << Result::NoAnswer << QStringList{};
    }
    void archivedWrite() {
        QFETCH(QString, fault);
        QFETCH(bool, approve);
        QFETCH(Result, result);
        QFETCH(QStringList, kinds);
        Rig rig;
        rig.params.ParamCatalogue[90].name = QStringLiteral("*DUMMY*");
        QCOMPARE(rig.transfer.ReadParameters(), Result::Done); // the program holds the drive's set
        const ParamSet driveSet = rig.params.ParamValues();
        rig.storeUnderOtherScale(5, fault == "refused" ? 70000.0f : 5.0f, 1.0f);
        rig.params.SetParameter(90, 90.0f);
        rig.review.answers = {approve};
        if (fault == "history")
            rig.history.setFolder(rig.dir.filePath("file/history"));
        QFile blocker(rig.dir.filePath("file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        rig.drive.faults().noAnswer = fault == "noAnswer";
        if (fault == "drop")
            rig.port.onWrite = [&rig](const QByteArray& bytes) {
                if (bytes == "U")
                    rig.port.dropTxByte = rig.port.tx.size() + 30;
            };
        if (fault == "hangup") // the history keeps complete sets only
            rig.port.onWrite = [&rig](const QByteArray&) {
                if (const qsizetype u = rig.port.tx.indexOf('U');
                    u >= 0 && rig.port.tx.size() > u + 40)
                    rig.port.pullLine();
            };

        rig.archived.write();
        QCOMPARE(rig.archived.lastResult(), result);
        QCOMPARE(rig.kinds(), kinds);
        const bool reviewed =
            result == Result::Done || result == Result::NotTaken || result == Result::LineLost;
        QCOMPARE(rig.review.shown.size(), reviewed ? 1 : 0);
        QCOMPARE(rig.port.tx.contains('U'), approve && reviewed && fault != "history");
        QCOMPARE(rig.review.backupErrors.size(), fault == "history" ? 1 : 0);
        // The backup is the drive's set before the write; the written set is the program's.
        const QList<HistoryEntry> list = rig.history.list();
        if (kinds.contains("backup"))
            QCOMPARE(rig.history.load(list.last().fileName), std::optional(driveSet));
        if (kinds.value(0) == "write")
            QCOMPARE(rig.history.load(list[0].fileName), std::optional(rig.params.ParamValues()));
        if (reviewed) {
            QCOMPARE(rig.review.shown[0].size(), 1); // P5: 105 -> 5
            QCOMPARE(rig.review.hidden[0], 1);       // #90
        }
    }

    // Old firmware sends no version word: the archive says so rather than "0".
    void archivedShortBlockRead() {
        Rig rig(826);
        QCOMPARE(rig.archived.read(), ArchivedTransfer::Outcome::Done);
        const QList<HistoryEntry> list = rig.history.list();
        QCOMPARE(list.size(), 1);
        QCOMPARE(list[0].firmware, "<=826");
        const auto set = rig.history.load(list[0].fileName);
        QVERIFY(set);
        QCOMPARE((*set)[2], 0.102f); // scaled as the read stores it
        QCOMPARE((*set)[62], 7.0f);  // beyond the block: the program's value
    }
};

QTEST_GUILESS_MAIN(TestParamTransfer)
#include "tst_paramtransfer.moc"
