// The real serial port on the virtual drive's pseudo-terminal, through the program's
// own classes. Every read and write costs its fixed waits, so one drive and one
// connection serve the dialog, the faults and the round trip in turn; a pulled line
// and a drive started late need drives of their own (the replug is in the main
// window's test).
#include "lang/LangModule.h"
#include "link/ConnectionForm.h"
#include "link/LineWatcher.h"
#include "link/ProtocolModule.h"
#include "link/SerialLinkPort.h"
#include "params/ParamModule.h"
#include "platform/Clock.h"
#include "support/FakeTransferHost.h"
#include "support/RecordingPrompts.h"
#include "support/VirtualDrive.h"
#include "transfer/ParamTransfer.h"

#include <QComboBox>
#include <QPushButton>
#include <QStandardItemModel>
#include <QtTest>
#include <memory>

namespace {

// The program's link classes on the drive's COM number.
struct Program : ConnectionHost {
    SystemClock clock;
    SerialLinkPort port;
    RecordingPrompts prompts;
    LangModule lang{QString()};
    ParamModule params{lang, prompts};
    ProtocolModule protocol{port, clock};
    FakeHost transferHost;
    QString status; // the port panel
    LineWatcher watcher{port};
    ConnectionForm form{port, watcher, lang, prompts, *this};
    ParamTransfer transfer{protocol, params, lang, transferHost, transferHost, transferHost};

    explicit Program(const QString& linkFolder)
        : port(ComPortMap(linkFolder, QStringLiteral("/nonexistent"))) {
        for (int i : {55, 56, 106, 107, 108, 111, 112, 113})
            lang.setText(i, QStringLiteral("T%1 %2 %3").arg(i));
        for (int k = 0; k < ParamModule::Count; ++k)
            params.ParamCatalogue[std::size_t(k)] = {
                QStringLiteral("P%1").arg(k), {}, {}, -40000, 70000};
        params.ParamCatalogue[16].scale = 1000;
        params.ParamCatalogue[30].minVersion = 900;
        params.setGridRowLookup([](int k) { return k + 1; });
        QObject::connect(&form, &ConnectionForm::selectedPortChanged,
                         [this](int n) { transferHost.port = n; });
        QObject::connect(&watcher, &LineWatcher::lost, &form, [this] { form.setSelectedPort(0); });
        form.load();
    }
    bool versionGt826() const override { return true; }
    void setVersionGt826(bool) override {}
    void setPortStatus(const QString& text) override { status = text; }
    QString mainTitle() const override { return QStringLiteral("Title"); }
    void accept() {
        form.show();
        QTest::mouseClick(form.findChild<QPushButton*>("AcceptCommand"), Qt::LeftButton);
    }
};

} // namespace

class TestE2eLink : public QObject {
    Q_OBJECT

private:
    VirtualDrive m_drive;
    std::unique_ptr<Program> m_program;

private slots:
    void initTestCase() {
        QVERIFY(m_drive.start());
        m_program = std::make_unique<Program>(m_drive.linkFolder());
    }

    void connectionDialog() {
        Program& p = *m_program;
        auto* combo = p.form.findChild<QComboBox*>(QStringLiteral("PortCombo"));
        QCOMPARE(combo->count(), 1);
        QCOMPARE(combo->itemData(0).toInt(), VirtualDrive::Com);
        QVERIFY(combo->itemText(0).startsWith("COM13 \u2014 link to /dev/pts/"));
        {
            // Someone else holds the port: listed, not offered, with the holder that
            // Qt's lock file names.
            SerialLinkPort other(ComPortMap(m_drive.linkFolder(), QStringLiteral("/nonexistent")));
            QVERIFY(other.open(VirtualDrive::Com));
            p.form.show();
            auto* model = qobject_cast<QStandardItemModel*>(combo->model());
            QVERIFY(!model->item(0)->isEnabled());
            QVERIFY2(combo->itemText(0).contains("in use by tst_e2e_link ("),
                     qPrintable(combo->itemText(0)));
            QCOMPARE(p.form.selectedPort(), 0);
            QVERIFY(!p.port.isOpen());
            p.form.hide();
        }
        p.accept();
        QVERIFY(p.port.isOpen());
        QCOMPARE(p.status, QStringLiteral("COM13"));
        // What the terminal itself is set to, read back on the drive's side.
        QCOMPARE(m_drive.command("speed", "SPEED"), QStringLiteral("SPEED 56000"));
    }

    // A transfer waits without running the event loop: what it writes must reach the
    // line at once, or the end of a block arrives only after the drive gave up on it.
    void writeReachesLineAtOnce() {
        Program& p = *m_program;
        for (const char* command : {"M", "A"}) {
            QCOMPARE(p.port.write(command), 1);
            QVERIFY(!m_drive.waitFor(QStringLiteral("LOG %1:").arg(command)).isEmpty());
        }
        QTest::qWait(50);
        p.protocol.FlushInput();
    }

    void driveFaults_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("result");
        const int noAnswer = int(ParamTransfer::Result::NoAnswer);
        const int badChecksum = int(ParamTransfer::Result::BadChecksum);
        QTest::newRow("no answer") << "no-answer" << noAnswer;
        QTest::newRow("checksum off by one") << "bad-checksum" << badChecksum;
        QTest::newRow("dropped byte") << "drop-byte 40" << noAnswer;
        QTest::newRow("garbage before the leading byte") << "garbage 5" << badChecksum;
    }
    void driveFaults() {
        QFETCH(QString, fault);
        QFETCH(int, result);
        Program& p = *m_program;
        QVERIFY(p.port.isOpen());
        QCOMPARE(m_drive.command("fault " + fault), QStringLiteral("OK"));
        const auto before = p.params.ParamValues;
        p.prompts.messages.clear();
        QCOMPARE(int(p.transfer.ReadParameters()), result);
        QCOMPARE(m_drive.command("clear"), QStringLiteral("OK"));
        QVERIFY(p.prompts.texts().isEmpty());
        QVERIFY(p.params.ParamValues == before);
        QVERIFY(p.transferHost.cells.isEmpty());
        QCOMPARE(p.params.driveVersion, 100000.0f); // as before the read
        QVERIFY(!p.transfer.outcome().stored);
        QVERIFY(p.transferHost.commandsEnabled);
    }

    // After the faults, with monitor frames streaming (noise between them), a write
    // and its read-back succeed and agree with the drive.
    void monitorThenRoundTrip() {
        Program& p = *m_program;
        QVERIFY(p.port.isOpen());
        QCOMPARE(m_drive.command("fault frame-garbage"), QStringLiteral("OK"));
        p.protocol.SendData(ProtocolModule::MonitorStart);
        QTest::qWait(200);
        int good = 0;
        std::uint8_t frame[6] = {};
        while (p.port.bytesAvailable() >= 8) {
            if (std::uint8_t(p.port.read(1).at(0)) == ProtocolModule::FrameStart &&
                p.protocol.ReceivePacket(frame))
                ++good;
        }
        QVERIFY2(good >= 3, qPrintable(QString::number(good)));

        for (int k = 0; k < 126; ++k)
            p.params.ParamValues[std::size_t(k)] = float(k * 3 - 50);
        p.params.ParamValues[16] = 1.6f;
        p.params.ParamValues[1] = 2.5f; // goes as 2
        QCOMPARE(p.transfer.WriteParameters(), ParamTransfer::Result::Done);
        QVERIFY2(p.prompts.messages.isEmpty(), qPrintable(p.prompts.texts().join('|')));
        QCOMPARE(p.params.driveVersion, 830.0f);
        QVERIFY(m_drive.log().contains("LOG U: block stored (126 words)"));
        const QList<int> stored = m_drive.words();
        QCOMPARE(stored.mid(0, 2), QList<int>({65536 - 50, 2}));
        QCOMPARE(stored[16], 1600);
        for (int k = 0; k < 126; ++k) { // 30 is not on this firmware
            const float scale = p.params.ParamCatalogue[std::size_t(k)].scale;
            const int w = stored[k] >= 32768 ? stored[k] - 65536 : stored[k];
            QCOMPARE(p.params.GetParameter(k), k == 30 ? 0.0f : float(w) / scale);
        }
        QCOMPARE(p.transferHost.cells.value(30), QStringLiteral("N/A"));
    }

    void pulledLine_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("mid-read") << "hangup-read 100";
        QTest::newRow("mid-write") << "hangup-write 2";
    }
    void pulledLine() {
        QFETCH(QString, fault);
        VirtualDrive drive;
        QVERIFY(drive.start());
        Program p(drive.linkFolder());
        p.form.SelectFirstAvailablePort();
        QVERIFY(p.port.isOpen());
        QCOMPARE(drive.command("fault " + fault), QStringLiteral("OK"));
        QSignalSpy lost(&p.watcher, &LineWatcher::lost);
        const auto result = fault.startsWith("hangup-read") ? p.transfer.ReadParameters()
                                                            : p.transfer.WriteParameters();
        QCOMPARE(result, ParamTransfer::Result::LineLost);
        QTRY_COMPARE(p.form.selectedPort(), 0);
        QVERIFY(!p.port.isOpen());
        // Let any error storm run its course: one notice only, and the program still
        // answers (an event loop that spins on errors would starve this wait).
        QTest::qWait(200);
        QCOMPARE(lost.size(), 1);
        QCOMPARE(lost.first().first().toInt(), VirtualDrive::Com);
        QVERIFY(p.watcher.awaiting());
        QVERIFY(p.transferHost.commandsEnabled);
        QCOMPARE(p.transfer.ReadParameters(), ParamTransfer::Result::NoPort);
    }

    // A drive started after the program is offered when the dialog opens again; a
    // link into nowhere is listed as such.
    void driveStartedLater() {
        QTemporaryDir dir;
        const QString folder = dir.filePath("links");
        Program p(folder);
        auto* combo = p.form.findChild<QComboBox*>(QStringLiteral("PortCombo"));
        QCOMPARE(combo->count(), 0);
        VirtualDrive drive;
        QVERIFY(drive.start({"--link-folder", folder}));
        QVERIFY(QFile::link("/nonexistent/ttyUSB9", folder + "/COM15"));
        p.form.show();
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->currentData().toInt(), VirtualDrive::Com);
        QCOMPARE(combo->itemText(1), QStringLiteral("COM15 \u2014 link to /nonexistent/ttyUSB9, "
                                                    "which does not exist"));
    }
};

QTEST_MAIN(TestE2eLink)
#include "tst_e2e_link.moc"
