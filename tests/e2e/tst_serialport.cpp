// The serial port on a pseudo-terminal opened in the test: what the program writes
// reaches the line without the event loop running, because the waits of a transfer
// (between a block and its read-back) do not run it.
#include "link/ComPortMap.h"
#include "link/SerialLinkPort.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

class TestSerialPort : public QObject {
    Q_OBJECT

private slots:
    void writtenBytesReachTheLineAtOnce() {
        int master = -1;
        int slave = -1;
        char name[256] = {};
        QVERIFY(openpty(&master, &slave, name, nullptr, nullptr) == 0);
        QTemporaryDir links;
        QVERIFY(QFile::link(QString::fromLocal8Bit(name), links.filePath("COM14")));

        SerialLinkPort port(ComPortMap(links.path(), QStringLiteral("/nonexistent")));
        QString error;
        QVERIFY2(port.open(14, &error), qPrintable(error));
        QCOMPARE(port.write(QByteArray("\x00\x01\x01\x23", 4)), qint64(4));

        // No event loop from here on: read the other end directly.
        QByteArray received;
        pollfd fd{master, POLLIN, 0};
        while (received.size() < 4 && poll(&fd, 1, 500) > 0) {
            char buffer[16];
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            received.append(buffer, int(n));
        }
        QCOMPARE(received, QByteArray("\x00\x01\x01\x23", 4));
        port.close();
        ::close(slave);
        ::close(master);
    }
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
