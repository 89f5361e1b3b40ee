// What stands behind a COM number on a made-up /dev: the adapter's stable name across
// a replug, keeping an adapter under a number, links into nowhere, and who holds a
// port that refuses to open (a made-up /proc).
#include "link/SerialPortScan.h"

#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

class TestPortScan : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString path(const QString& relative) const { return m_root.filePath(relative); }
    void touch(const QString& relative) {
        QFile f(path(relative));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    // The adapter's by-id name points at `device` (as udev does after a plug).
    void plug(const QString& device) {
        QFile::remove(path("by-id/usb-FTDI_A10K3-if00"));
        QVERIFY(QFile::link("../dev/" + device, path("by-id/usb-FTDI_A10K3-if00")));
    }

private slots:
    void initTestCase() {
        QVERIFY(QDir().mkpath(path("dev")) && QDir().mkpath(path("by-id")));
        QVERIFY(ComPortMap::ensureLinkFolder(path("links")));
        touch("dev/ttyUSB0");
        touch("dev/ttyUSB1");
        touch("dev/ttyS0");
    }

    void crowdedByIdFolder() {
        QVERIFY(QDir().mkpath(path("crowded")));
        for (int i = 0; i < 3000; ++i)
            QVERIFY(QFile::link("../dev/ttyS0", path(QStringLiteral("crowded/usb-%1").arg(i))));
        SerialPortScan scan(ComPortMap(path("links"), path("dev")), path("crowded"));
        scan.refresh(false);
        QCOMPARE(scan.byIdLooked(), SerialPortScan::MaxByIdEntries);
        QVERIFY(scan.describe(1).adapterPath.startsWith(path("crowded/usb-")));
    }

    void replugAndKeep() {
        const ComPortMap map(path("links"), path("dev"));
        SerialPortScan scan(map, path("by-id"));
        QFile::remove(path("dev/ttyUSB1"));
        plug("ttyUSB0");
        scan.refresh(false);
        const QString byId = path("by-id/usb-FTDI_A10K3-if00");
        PortEntry entry = scan.describe(5);
        QCOMPARE(entry.state, PortEntry::State::Free);
        QCOMPARE(entry.adapterPath, byId);
        QCOMPARE(entry.stableId, byId);
        QVERIFY(entry.usb);
        QCOMPARE(scan.describe(1).stableId, QFileInfo(path("dev/ttyS0")).canonicalFilePath());

        // Back as the next device: found under the number that device has now.
        QFile::remove(path("dev/ttyUSB0"));
        touch("dev/ttyUSB1");
        plug("ttyUSB1");
        scan.refresh(false);
        QCOMPARE(scan.findAdapter(byId), 6);
        QCOMPARE(scan.describe(5).state, PortEntry::State::Absent);

        // Kept as COM3: the link is the identity, whatever device the adapter becomes.
        QString why;
        QVERIFY(map.keepAdapter(byId, 9, &why));
        QVERIFY2(map.keepAdapter(byId, 3, &why), qPrintable(why));
        QVERIFY(!QFileInfo(path("links/COM9")).isSymLink()); // one number per adapter
        entry = scan.describe(3);
        QCOMPARE(entry.linkTarget, byId);
        QCOMPARE(entry.stableId, path("links/COM3"));
        QFile::remove(path("dev/ttyUSB1"));
        scan.refresh(false);
        QCOMPARE(scan.describe(3).state, PortEntry::State::DanglingLink);
        QCOMPARE(scan.findAdapter(entry.stableId), 0);
        touch("dev/ttyUSB0");
        plug("ttyUSB0");
        scan.refresh(false);
        QCOMPARE(scan.findAdapter(entry.stableId), 3);

        QVERIFY(!map.keepAdapter(path("by-id/none"), 4, &why));
        QVERIFY(!why.isEmpty());
        QVERIFY(!map.keepAdapter(byId, 17, &why));
        QVERIFY(!QFileInfo::exists(path("links/COM4")));
    }

    void holder_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("holdsIt");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("holder");
        QTest::newRow("modem service with the port open")
            << "ModemManager" << true << int(PortEntry::State::HeldByService) << "ModemManager";
        QTest::newRow("braille service running, other files open")
            << "brltty" << false << int(PortEntry::State::Busy) << "";
        QTest::newRow("some program, no lock file")
            << "minicom" << true << int(PortEntry::State::Busy) << "";
    }
    void holder() {
        QFETCH(QString, program);
        QFETCH(bool, holdsIt);
        QTemporaryDir proc;
        QVERIFY(QDir().mkpath(proc.filePath("4242/fd")) && QDir().mkpath(proc.filePath("self")));
        QFile comm(proc.filePath("4242/comm"));
        QVERIFY(comm.open(QIODevice::WriteOnly));
        comm.write(program.toUtf8() + '\n');
        comm.close();
        const QString device = QFileInfo(path("dev/ttyS0")).canonicalFilePath();
        QVERIFY(QFile::link(holdsIt ? device : path("dev"), proc.filePath("4242/fd/7")));
        SerialPortScan scan(ComPortMap(path("links"), path("dev")), path("by-id"));
        scan.setProcFolder(proc.path());
        PortEntry entry;
        scan.explainRefusal(entry, device);
        QTEST(int(entry.state), "state");
        QTEST(entry.holder, "holder");
    }

    void noPermission() {
        if (::geteuid() == 0)
            QSKIP("root may open a device of any mode");
        touch("dev/locked");
        QVERIFY(QFile::setPermissions(path("dev/locked"), {}));
        SerialPortScan scan;
        PortEntry entry;
        scan.explainRefusal(entry, path("dev/locked"));
        QCOMPARE(entry.state, PortEntry::State::NoPermission);
        QCOMPARE(entry.group, QFileInfo(path("dev/locked")).group());
    }
};

QTEST_MAIN(TestPortScan)
#include "tst_portscan.moc"
