// Files that hostile names cannot turn against the user: what is read, and what a
// rename never replaces or follows.
#include "platform/SafeFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestSafeFiles : public QObject {
    Q_OBJECT

private slots:
    void readRegular_data() {
        QTest::addColumn<QString>("name"); // in a folder with "file" (5 bytes), "dir", "fifo"
        QTest::addColumn<int>("status");
        QTest::newRow("file") << "file" << int(SafeFiles::Read::Ok);
        QTest::newRow("link to it") << "link" << int(SafeFiles::Read::Ok);
        QTest::newRow("larger than allowed") << "big" << int(SafeFiles::Read::TooLarge);
        QTest::newRow("folder") << "dir" << int(SafeFiles::Read::NotRegular);
        QTest::newRow("pipe without writer") << "fifo" << int(SafeFiles::Read::NotRegular);
        QTest::newRow("endless device") << "/dev/zero" << int(SafeFiles::Read::NotRegular);
        QTest::newRow("missing") << "none" << int(SafeFiles::Read::Unreadable);
    }
    void readRegular() {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QFile file(dir.filePath("file"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("hello") == 5);
        file.close();
        QVERIFY(QFile::copy(dir.filePath("file"), dir.filePath("big")));
        QVERIFY(QFile(dir.filePath("big")).resize(7));
        QVERIFY(QFile::link(dir.filePath("file"), dir.filePath("link")));
        QVERIFY(QDir(dir.path()).mkdir("dir"));
        QCOMPARE(mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
        const SafeFiles::Read read = SafeFiles::readRegular(QDir(dir.path()).filePath(name), 6);
        QTEST(int(read.status), "status");
        QCOMPARE(read.bytes, read.ok() ? QByteArray("hello") : QByteArray());
    }

    void renameNeverReplacesOrFollows() {
        QTemporaryDir dir;
        QFile file(dir.filePath("a"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        // A dangling link occupies its name.
        QVERIFY(QFile::link(dir.filePath("nowhere"), dir.filePath("b")));
        QVERIFY(SafeFiles::occupied(dir.filePath("b")));
        QVERIFY(!SafeFiles::renameNoReplace(dir.filePath("a"), dir.filePath("b")));
        QVERIFY(QFile::exists(dir.filePath("a")));
        // A link is moved as a link.
        QVERIFY(SafeFiles::renameNoReplace(dir.filePath("b"), dir.filePath("c")));
        QCOMPARE(QFileInfo(dir.filePath("c")).symLinkTarget(), dir.filePath("nowhere"));
        QVERIFY(!SafeFiles::occupied(dir.filePath("b")));
    }
};

QTEST_GUILESS_MAIN(TestSafeFiles)
#include "tst_safefiles.moc"
