// What stands behind a COM number on a made-up /dev: the link folder first, then the
// fixed device table; the adapter's stable name across a replug, keeping an adapter
// under a number (the dialog's command only passes it on), links into nowhere, and a
// device the user may not open.
#include "link/SerialPortScan.h"

#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

class TestPortScan : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;
    // The number map's own /dev and link folder, with links of every kind.
    QTemporaryDir m_mapRoot;
    QString m_links;
    QString m_devices;
    bool m_foreignLink = false; // only root can give a link away
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
        m_devices = m_mapRoot.filePath("dev");
        m_links = m_mapRoot.filePath("links");
        QVERIFY(QDir().mkpath(m_devices));
        QVERIFY(ComPortMap::ensureLinkFolder(m_links));
        for (const char* name :
             {"ttyS0", "ttyS3", "ttyUSB0", "ttyUSB1", "ttyUSB3", "ttyACM0", "ttyACM3", "pty"})
            QVERIFY(QFile(m_devices + '/' + name).open(QIODevice::WriteOnly));
        for (const char* com : {"COM5", "COM13", "COM17"})
            QVERIFY(QFile::link(m_devices + "/pty", m_links + '/' + com));
        QVERIFY(QFile::link(m_mapRoot.filePath("gone"), m_links + "/COM14"));
        // Placed by another user while the folder was open to others.
        QVERIFY(QFile::link(m_devices + "/pty", m_links + "/COM6"));
        m_foreignLink = ::lchown(QFile::encodeName(m_links + "/COM6").constData(), 4242, 4242) == 0;
    }

    void systemLocation_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("expected"); // relative to the test root, "" for none
        QTest::newRow("COM0") << 0 << "";
        QTest::newRow("built-in port") << 4 << "dev/ttyS3";
        QTest::newRow("missing built-in port") << 2 << "";
        QTest::newRow("link wins over the table") << 5 << "links/COM5";
        QTest::newRow("another user's link is not used") << 6 << "dev/ttyUSB1";
        QTest::newRow("modem-class adapter") << 12 << "dev/ttyACM3";
        QTest::newRow("dangling link still claims its number") << 14 << "links/COM14";
        QTest::newRow("above COM16 even with a link") << 17 << "";
    }
    void systemLocation() {
        QFETCH(int, n);
        QFETCH(QString, expected);
        if (n == 6 && !m_foreignLink)
            QSKIP("a link of another user needs root to make");
        const ComPortMap map(m_links, m_devices);
        QCOMPARE(map.systemLocation(n),
                 expected.isEmpty() ? QString() : m_mapRoot.filePath(expected));
    }

    void untrustedLinkFolderIsIgnored() {
        const QString alias = m_mapRoot.filePath("alias");
        QVERIFY(QFile::link(m_links, alias));
        QCOMPARE(ComPortMap(alias, m_devices).systemLocation(13), QString());

        QVERIFY(QFile::setPermissions(m_links, QFileDevice::Permissions(0x7777)));
        const ComPortMap map(m_links, m_devices);
        QCOMPARE(map.systemLocation(13), QString());
        QCOMPARE(map.systemLocation(6), m_devices + "/ttyUSB1"); // the table still works
        // Refused, and its mode is not the virtual drive's to change; nor is a file's.
        QVERIFY(!ComPortMap::ensureLinkFolder(m_links));
        QCOMPARE(QFileInfo(m_links).permissions() & 0x0777, QFileDevice::Permissions(0x0777));
        const QString file = m_devices + "/ttyS0";
        const auto fileMode = QFileInfo(file).permissions();
        QVERIFY(!ComPortMap::ensureLinkFolder(file));
        QCOMPARE(QFileInfo(file).permissions(), fileMode);
        QVERIFY(QFile::setPermissions(m_links, QFileDevice::Permissions(0x7700)));
        QVERIFY(ComPortMap::ensureLinkFolder(m_links));
        QCOMPARE(map.systemLocation(13), m_links + "/COM13");
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
