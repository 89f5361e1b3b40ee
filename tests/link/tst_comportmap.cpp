// COM numbers on this system: the link folder first, then the fixed device table.
#include "ComPortMap.h"

#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

class TestComPortMap : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_links;
    QString m_devices;

    static void touch(const QString& path) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }

private slots:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        m_devices = m_root.filePath("dev");
        m_links = m_root.filePath("links");
        QVERIFY(QDir().mkpath(m_devices));
        QVERIFY(ComPortMap::ensureLinkFolder(m_links));
        for (const char* name : {"ttyS0", "ttyUSB1", "ttyACM0", "ttyUSB9"})
            touch(m_devices + '/' + name);
        const QString pty = m_root.filePath("pty");
        touch(pty);
        QVERIFY(QFile::link(pty, m_links + "/COM5"));
        QVERIFY(QFile::link(pty, m_links + "/COM13"));
        QVERIFY(QFile::link(m_root.filePath("gone"), m_links + "/COM14"));
        QVERIFY(QFile::link(pty, m_links + "/COM17"));
    }

    void tableDevice_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("device");
        QTest::newRow("COM1") << 1 << "ttyS0";
        QTest::newRow("COM4") << 4 << "ttyS3";
        QTest::newRow("COM5") << 5 << "ttyUSB0";
        QTest::newRow("COM8") << 8 << "ttyUSB3";
        QTest::newRow("COM9") << 9 << "ttyACM0";
        QTest::newRow("COM12") << 12 << "ttyACM3";
        QTest::newRow("COM13 links only") << 13 << "";
        QTest::newRow("COM0") << 0 << "";
        QTest::newRow("COM17") << 17 << "";
    }
    void tableDevice() {
        QFETCH(int, n);
        QFETCH(QString, device);
        QCOMPARE(ComPortMap::tableDevice(n), device);
    }

    void systemLocation_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("expected"); // relative to the test root, "" for none
        QTest::newRow("built-in port") << 1 << "dev/ttyS0";
        QTest::newRow("missing built-in port") << 2 << "";
        QTest::newRow("link wins over the table") << 5 << "links/COM5";
        QTest::newRow("second USB adapter") << 6 << "dev/ttyUSB1";
        QTest::newRow("modem-class adapter") << 9 << "dev/ttyACM0";
        QTest::newRow("virtual drive") << 13 << "links/COM13";
        QTest::newRow("dangling link still claims its number") << 14 << "links/COM14";
        QTest::newRow("nothing there") << 15 << "";
        QTest::newRow("above COM16 even with a link") << 17 << "";
        QTest::newRow("COM0") << 0 << "";
    }
    void systemLocation() {
        QFETCH(int, n);
        QFETCH(QString, expected);
        const ComPortMap map(m_links, m_devices);
        QCOMPARE(map.systemLocation(n), expected.isEmpty() ? QString() : m_root.filePath(expected));
    }

    void foreignWritableFolderIsIgnored() {
        QVERIFY(QFile::setPermissions(m_links, QFileDevice::Permissions(0x7777)));
        const ComPortMap map(m_links, m_devices);
        QVERIFY(!ComPortMap::isTrustedFolder(m_links));
        QCOMPARE(map.systemLocation(13), QString());
        QCOMPARE(map.systemLocation(6), m_devices + "/ttyUSB1"); // the table still works
        QVERIFY(ComPortMap::ensureLinkFolder(m_links));          // puts the mode back to 0700
        QCOMPARE(map.systemLocation(13), m_links + "/COM13");
    }

    void symlinkedFolderIsIgnored() {
        const QString alias = m_root.filePath("alias");
        QVERIFY(QFile::link(m_links, alias));
        QVERIFY(!ComPortMap::isTrustedFolder(alias));
        QCOMPARE(ComPortMap(alias, m_devices).systemLocation(13), QString());
    }

    void defaultFolder() {
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", m_root.path().toLocal8Bit());
        QCOMPARE(ComPortMap::defaultLinkFolder(), m_root.filePath("liftdrive"));
        qunsetenv("XDG_RUNTIME_DIR");
        QCOMPARE(ComPortMap::defaultLinkFolder(),
                 QDir::tempPath() + QStringLiteral("/liftdrive-%1").arg(::getuid()));
        if (!saved.isEmpty())
            qputenv("XDG_RUNTIME_DIR", saved);
    }
};

QTEST_GUILESS_MAIN(TestComPortMap)
#include "tst_comportmap.moc"
