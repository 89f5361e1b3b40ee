// Ending the program with a signal is a normal close: the event loop returns, so the
// port is closed by its owner and another program can open it again.
#include "app/QuitOnSignals.h"
#include "link/SerialLinkPort.h"
#include "support/VirtualDrive.h"

#include <QtTest>
#include <csignal>

class TestQuitOnSignals : public QObject {
    Q_OBJECT

private slots:
    void signalClosesNormally_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void signalClosesNormally() {
        QFETCH(int, signal);
        VirtualDrive drive;
        QVERIFY(drive.start());
        const ComPortMap map(drive.linkFolder(), QStringLiteral("/nonexistent"));
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

QTEST_GUILESS_MAIN(TestQuitOnSignals)
#include "tst_quitonsignals.moc"
