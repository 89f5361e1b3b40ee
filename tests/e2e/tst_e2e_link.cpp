// The real serial port on the virtual drive's pseudo-terminal: line settings,
// parameter read and write, the drive's faults, a port taken by someone else and a
// line that is pulled, through the program's own classes.
#include "Clock.h"
#include "ConnectionForm.h"
#include "FakeTransferHost.h"
#include "LangModule.h"
#include "ParamModule.h"
#include "ParamTransfer.h"
#include "ProtocolModule.h"
#include "RecordingPrompts.h"
#include "SerialLinkPort.h"
#include "VirtualDrive.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

class Host final : public ConnectionHost {
public:
    bool versionGt826() const override { return version; }
    void setVersionGt826(bool on) override { version = on; }
    void setPortStatus(const QString& text) override { status = text; }
    QString mainTitle() const override { return QStringLiteral("ORVAN-Quvera"); }
    bool version = true;
    QString status;
};

} // namespace

class TestE2eLink : public QObject {
    Q_OBJECT

private:
    // The program's link classes on the drive's COM number.
    struct Program {
        SystemClock clock;
        SerialLinkPort port;
        RecordingPrompts prompts;
        LangModule lang{QString(), prompts};
        ParamModule params{lang, prompts};
        ProtocolModule protocol{port, clock};
        FakeHost transferHost;
        Host host;
        ConnectionForm form{port, protocol, lang, prompts, host};
        ParamTransfer transfer{protocol,     params,       lang,         prompts,
                               transferHost, transferHost, transferHost, transferHost};

        explicit Program(const QString& linkFolder)
            : port(ComPortMap(linkFolder, QStringLiteral("/nonexistent"))) {
            for (int i : {55, 56, 106, 107, 108, 111, 112, 113})
                lang.setText(i, QStringLiteral("T%1 %2 %3").arg(i));
            for (int k = 0; k < ParamModule::Count; ++k) {
                ParamDef& def = params.ParamCatalogue[std::size_t(k)];
                def.name = QStringLiteral("P%1").arg(k);
                def.minValue = -40000;
                def.maxValue = 70000;
            }
            params.ParamCatalogue[16].scale = 1000;
            params.ParamCatalogue[30].minVersion = 900;
            params.setGridRowLookup([](int k) { return k + 1; });
            QObject::connect(&form, &ConnectionForm::selectedPortChanged,
                             [this](int n) { transferHost.port = n; });
            form.load();
        }
        bool connect() {
            form.SelectFirstAvailablePort();
            return port.isOpen();
        }
    };

    static float signedWord(int w) { return float(w >= 32768 ? w - 65536 : w); }

private slots:
    void scanFindsTheDriveAndTheRateApplies() {
        VirtualDrive drive;
        QVERIFY(drive.start());
        Program program(drive.linkFolder());
        auto* combo = program.form.findChild<QComboBox*>(QStringLiteral("PortCombo"));
        QCOMPARE(combo->count(), 1);
        QCOMPARE(combo->itemData(0).toInt(), VirtualDrive::Com);
        QVERIFY(program.connect());
        QCOMPARE(program.host.status, QStringLiteral("COM13"));
        // What the terminal itself is set to, read back on the drive's side.
        QCOMPARE(drive.command("speed", "SPEED"), QStringLiteral("SPEED 56000"));
    }

    void readThenWriteRoundTrip() {
        VirtualDrive drive;
        QVERIFY(drive.start({"--monitor"}));
        Program program(drive.linkFolder());
        QVERIFY(program.connect());
        QTest::qWait(50); // frames are streaming when the read starts

        QCOMPARE(program.transfer.ReadParameters(), ParamTransfer::Result::Done);
        QVERIFY2(program.prompts.messages.isEmpty(), qPrintable(program.prompts.texts().join('|')));
        const QList<int> held = drive.words();
        QCOMPARE(held.size(), 128);
        QCOMPARE(program.params.driveVersion, 830.0f);
        for (int k = 0; k < 126; ++k) {
            if (k == 30)
                continue;
            const float scale = program.params.ParamCatalogue[std::size_t(k)].scale;
            QCOMPARE(program.params.GetParameter(k), signedWord(held[k]) / scale);
        }
        QCOMPARE(program.transferHost.cells.value(31), QStringLiteral("N/A"));

        for (int k = 0; k < 126; ++k)
            program.params.ParamValues[std::size_t(k)] = float(k * 3 - 50);
        program.params.ParamValues[16] = 1.6f;
        program.params.ParamValues[1] = 2.5f; // goes as 2
        QCOMPARE(program.transfer.WriteParameters(), ParamTransfer::Result::Done);
        QVERIFY(program.prompts.messages.isEmpty());
        QVERIFY(drive.log().contains("LOG U: block stored (126 words)"));
        const QList<int> stored = drive.words();
        QCOMPARE(stored[16], 1600);
        QCOMPARE(stored[1], 2);
        QCOMPARE(stored[0], 65536 - 50);
        for (int k = 0; k < 125; ++k) {
            if (k == 30)
                continue;
            const float scale = program.params.ParamCatalogue[std::size_t(k)].scale;
            QCOMPARE(program.params.GetParameter(k), signedWord(stored[k]) / scale);
        }
    }

    void driveFaults_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("retry");
        QTest::newRow("no answer") << "no-answer"
                                   << "T113" << false;
        QTest::newRow("checksum off by one") << "bad-checksum"
                                             << "Bad Checksum" << true;
        QTest::newRow("dropped byte") << "drop-byte 40"
                                      << "T113" << false;
        QTest::newRow("garbage before the leading byte") << "garbage 5"
                                                         << "Bad Checksum" << false;
    }
    void driveFaults() {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        QFETCH(bool, retry);
        VirtualDrive drive;
        QVERIFY(drive.start());
        Program program(drive.linkFolder());
        QVERIFY(program.connect());
        QCOMPARE(drive.command("fault " + fault), QStringLiteral("OK"));
        const auto before = program.params.ParamValues;
        program.transfer.ReadParameters();
        QCOMPARE(program.prompts.texts().size(), 1);
        QVERIFY(program.prompts.texts().first().startsWith(message));
        QVERIFY(program.params.ParamValues == before);
        QVERIFY(!program.transferHost.ready);
        QVERIFY(program.transferHost.commandsEnabled);
        if (!retry)
            return;
        // The program keeps working: with the fault cleared the next read succeeds.
        program.prompts.messages.clear();
        QCOMPARE(drive.command("clear"), QStringLiteral("OK"));
        QCOMPARE(program.transfer.ReadParameters(), ParamTransfer::Result::Done);
    }

    void busyPortAtAccept() {
        VirtualDrive drive;
        QVERIFY(drive.start());
        Program program(drive.linkFolder());
        SerialLinkPort other(ComPortMap(drive.linkFolder(), QStringLiteral("/nonexistent")));
        QVERIFY(other.open(VirtualDrive::Com));
        program.form.show();
        QTest::mouseClick(program.form.findChild<QPushButton*>("AcceptCommand"), Qt::LeftButton);
        QCOMPARE(program.prompts.texts().size(), 1);
        QVERIFY(program.prompts.texts().first().startsWith("T55 COM13 "));
        QVERIFY(program.prompts.texts().first().size() > 12); // with the reason
        QCOMPARE(program.form.selectedPort(), 0);
        QVERIFY(!program.port.isOpen());
    }

    void pulledLine_data() {
        QTest::addColumn<QString>("when");
        QTest::newRow("idle") << "";
        QTest::newRow("mid-read") << "hangup-read 100";
        QTest::newRow("mid-write") << "hangup-write 60";
    }
    void pulledLine() {
        QFETCH(QString, when);
        VirtualDrive drive;
        QVERIFY(drive.start());
        Program program(drive.linkFolder());
        QVERIFY(program.connect());
        if (when.isEmpty()) {
            drive.command("hangup", "HANGUP");
        } else {
            QCOMPARE(drive.command("fault " + when), QStringLiteral("OK"));
            const auto result = when.startsWith("hangup-read") ? program.transfer.ReadParameters()
                                                               : program.transfer.WriteParameters();
            QCOMPARE(result, ParamTransfer::Result::LineLost);
        }
        QTRY_COMPARE(program.form.selectedPort(), 0);
        QVERIFY(!program.port.isOpen());
        QCOMPARE(program.host.status, QStringLiteral("T108 %2 %3"));
        // Let any error storm run its course: one message only, and the program still
        // answers (an event loop that spins on errors would starve this wait).
        QTest::qWait(200);
        QCOMPARE(program.prompts.texts().size(), 1);
        QVERIFY(program.prompts.texts().first().startsWith("T56 COM13 "));
        QVERIFY(program.transferHost.commandsEnabled);
        QCOMPARE(program.transfer.ReadParameters(), ParamTransfer::Result::NoPort);
    }

    void monitorFramesArrive_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("clean stream") << QStringList();
        QTest::newRow("noise between frames") << QStringList{"--fault", "frame-garbage"};
    }
    void monitorFramesArrive() {
        QFETCH(QStringList, args);
        VirtualDrive drive;
        QVERIFY(drive.start(args));
        Program program(drive.linkFolder());
        QVERIFY(program.connect());
        program.protocol.SendData(ProtocolModule::MonitorStart);
        QTest::qWait(200);
        // Drained the way the monitor tick does it.
        int good = 0;
        std::uint8_t frame[6] = {};
        while (program.port.bytesAvailable() >= 8) {
            if (std::uint8_t(program.port.read(1).at(0)) != ProtocolModule::FrameStart)
                continue;
            if (program.protocol.ReceivePacket(frame))
                ++good;
        }
        QVERIFY2(good >= 3, qPrintable(QString::number(good)));
        program.protocol.SendData(ProtocolModule::MonitorStop);
        QTRY_VERIFY(drive.log().contains("LOG A: monitor off"));
    }
};

QTEST_MAIN(TestE2eLink)
#include "tst_e2e_link.moc"
