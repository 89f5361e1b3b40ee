// The virtual drive's options: out-of-range numbers, unknown faults, damaged parameter
// files and untrusted link folders end it with a message and exit code 2; a folder or
// file it did not make keeps its mode.
#include "support/DataFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestEmulatorOptions : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString file(const QString& name, const QByteArray& contents) {
        QFile f(m_dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly))
            return QString();
        f.write(contents);
        return f.fileName();
    }

private slots:
    void refused_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QByteArray values;
        for (int k = 0; k < 128; ++k)
            values += k == 16 ? "1e38\n" : "1\n";
        QTest::newRow("firmware too large") << QStringList{"--firmware", "70000"} << "--firmware";
        QTest::newRow("count overflows")
            << QStringList{"--fault", "drop-byte:2147483647"} << "0 to 65535";
        QTest::newRow("unknown fault") << QStringList{"--fault", "melt"} << "unknown fault";
        QTest::newRow("empty file") << QStringList{"--quv", file("empty.quv", "")} << "0 lines";
        QTest::newRow("value beyond a word")
            << QStringList{"--quv", file("huge.quv", values)} << "line 17";
        QTest::newRow("device") << QStringList{"--quv", "/dev/zero"} << "no regular file";
        const QString shared = m_dir.filePath("shared");
        QDir().mkdir(shared);
        QFile::setPermissions(shared, QFileDevice::Permissions(0x7777));
        QTest::newRow("shared link folder")
            << QStringList{"--link-folder", shared} << "not a private folder";
    }
    void refused() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const QString links = m_dir.filePath("links");
        QList<QFileDevice::Permissions> modes;
        for (const QString& arg : args)
            modes << QFileInfo(arg).permissions();
        QProcess drive;
        drive.start(binFolder() + "/liftdrive-emulator",
                    QStringList{"--link-folder", links} + args);
        QVERIFY(drive.waitForFinished(10000));
        QCOMPARE(drive.exitCode(), 2);
        const QString err = QString::fromUtf8(drive.readAllStandardError());
        QVERIFY2(err.contains(message), qPrintable(err));
        QVERIFY(!QFileInfo::exists(links + "/COM13"));
        for (qsizetype i = 0; i < args.size(); ++i)
            QCOMPARE(QFileInfo(args[i]).permissions(), modes[i]);
    }
};

QTEST_GUILESS_MAIN(TestEmulatorOptions)
#include "tst_emulator_options.moc"
