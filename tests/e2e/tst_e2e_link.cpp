// The real serial port on the virtual drive's pseudo-terminal, through the program's
// own classes: what only a real terminal shows (the lock file's holder, the line speed
// the terminal took, bytes reaching the line without the event loop). Bytes lost or
// added on the line, hang-ups and replugs are in the soak and the main window's tests;
// faults of the drive's answer itself one level down. Ending the program with a signal
// is a normal close: the port is closed by its owner and can be opened again.
#include "app/QuitOnSignals.h"
#include "link/ProtocolModule.h"
#include "link/SerialLinkPort.h"
#include "platform/Clock.h"
#include "support/FakeConnectionHost.h"
#include "support/VirtualDrive.h"

#include <QComboBox>
#include <QStandardItemModel>
#include <QtTest>
#include <csignal>
#include <memory>

namespace {

// The program's link classes on the drive's COM number.
struct SerialLine {
    SystemClock clock;
    SerialLinkPort port;
    ProtocolModule protocol{port, clock};
    explicit SerialLine(const QString& linkFolder)
        : port(ComPortMap(linkFolder, QStringLiteral("/nonexistent"))) {}
};
struct Program : SerialLine, ConnectionRig {
    explicit Program(const QString& linkFolder) : SerialLine(linkFolder), ConnectionRig(port) {
        form.load();
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
        acceptPort(p.form, VirtualDrive::Com);
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

    void signalClosesNormally_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void signalClosesNormally() {
        QFETCH(int, signal);
        const ComPortMap map(m_drive.linkFolder(), QStringLiteral("/nonexistent"));
        m_program->port.close();
        {
            SerialLinkPort port(map);
            QVERIFY(port.open(VirtualDrive::Com));
            QuitOnSignals quit;
            QTimer::singleShot(0, [signal] { ::raise(signal); });
            QCOMPARE(QCoreApplication::exec(), 0);
        }
        SerialLinkPort other(map);
        QVERIFY(other.open(VirtualDrive::Com)); // no lock left behind
    }
};

QTEST_MAIN(TestE2eLink)
#include "tst_e2e_link.moc"
