// COM numbers on this system: the link folder first, then the fixed device table.
#include "link/ComPortMap.h"

#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

class TestComPortMap : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_links;
    QString m_devices;
    bool m_foreignLink = false; // only root can give a link away

private slots:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        m_devices = m_root.filePath("dev");
        m_links = m_root.filePath("links");
        QVERIFY(QDir().mkpath(m_devices));
        QVERIFY(ComPortMap::ensureLinkFolder(m_links));
        for (const char* name :
             {"ttyS0", "ttyS3", "ttyUSB0", "ttyUSB1", "ttyUSB3", "ttyACM0", "ttyACM3", "pty"})
            QVERIFY(QFile(m_devices + '/' + name).open(QIODevice::WriteOnly));
        for (const char* com : {"COM5", "COM13", "COM17"})
            QVERIFY(QFile::link(m_devices + "/pty", m_links + '/' + com));
        QVERIFY(QFile::link(m_root.filePath("gone"), m_links + "/COM14"));
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
        QTest::newRow("virtual drive") << 13 << "links/COM13";
        QTest::newRow("dangling link still claims its number") << 14 << "links/COM14";
        QTest::newRow("above COM16 even with a link") << 17 << "";
    }
    void systemLocation() {
        QFETCH(int, n);
        QFETCH(QString, expected);
        if (n == 6 && !m_foreignLink)
            QSKIP("a link of another user needs root to make");
        const ComPortMap map(m_links, m_devices);
        QCOMPARE(map.systemLocation(n), expected.isEmpty() ? QString() : m_root.filePath(expected));
    }

    void untrustedLinkFolderIsIgnored() {
        const QString alias = m_root.filePath("alias");
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
};

QTEST_GUILESS_MAIN(TestComPortMap)
#include "tst_comportmap.moc"
