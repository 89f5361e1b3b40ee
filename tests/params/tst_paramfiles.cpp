// Parameter files: the exact bytes written, loading through the setter, and every
// way a load or a save can go wrong without losing more than it must.
#include "params/ParamFiles.h"
#include "support/ScratchParams.h"

#include <QDir>
#include <QLocale>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

constexpr float kUntouched = 7.0f;

// Index 5 ("Speed", 0..10) is the only checked parameter; the rest take any value.
struct Fixture : ScratchParams {
    Fixture() : ScratchParams({"P5:5:Speed:V3:m/s:0:10:0:1000:0"}) { untouch(); }
    void untouch() {
        for (int i = 0; i < ParamModule::Count; ++i)
            params.SetParameter(i, kUntouched);
    }
    ParamFiles files() { return ParamFiles(params); }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
};

// Line i holds "i.25"; lines first .. count - 1.
QByteArray fileLines(int count, int first = 0) {
    QByteArray text;
    for (int i = first; i < count; ++i)
        text += QByteArray::number(i) + ".25\r\n";
    return text;
}

QList<float> lineValues(int count) {
    QList<float> values;
    for (int i = 0; i < count; ++i)
        values << float(i) + 0.25f;
    return values;
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestParamFiles : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void roundTripWithDecimalComma() {
        QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
        Fixture f;
        const QList<float> values = {2.5f, -1.0f, 0.7f, 1e-5f, 65535.0f, 1430.0f, 0.0f, -0.125f};
        const QByteArrayList texts = {"2.5", "-1", "0.7", "1E-05", "65535", "1430", "0", "-0.125"};
        QByteArray expected;
        for (int i = 0; i < ParamModule::Count; ++i) {
            const int k = i == 5 ? 0 : i % values.size(); // index 5 takes 0..10 only
            f.params.SetParameter(i, values[k]);
            expected += texts[k] + "\r\n";
        }
        const auto saved = f.params.ParamValues();

        QCOMPARE(f.files().save(f.path("a.quv")), ParamFiles::Result::Done);
        QCOMPARE(readBytes(f.path("a.quv")), expected);
        f.untouch();
        QCOMPARE(f.files().load(f.path("a.quv")), ParamFiles::Result::Done);
        auto expectedValues = saved;
        expectedValues[ParamFiles::FirmwareIndex] = kUntouched; // the drive's own, not loaded
        QCOMPARE(f.params.ParamValues(), expectedValues);
        QCOMPARE(f.prompts.texts(), QStringList());
    }

    void load_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<float>>("expected"); // indexes 0.. in order; the rest keep 7
        QTest::addColumn<int>("warnings");
        QTest::addColumn<bool>("failure");

        // LF, CR and CR LF mixed; lines after the 128th are not read.
        QByteArray mixed;
        for (int i = 0; i < 140; ++i)
            mixed += QByteArray::number(i) + ".25" + (i % 3 ? (i % 3 == 1 ? "\n" : "\r") : "\r\n");
        QList<float> odd = {1.0f, 2.5f, 0.0f, -1500.0f, 0.0f};
        odd += lineValues(128).mid(5);
        QList<float> refused = lineValues(128);
        refused[5] = kUntouched;

        QTest::newRow("line ends mixed") << mixed << lineValues(128) << 0 << false;
        QTest::newRow("no end after the last line")
            << fileLines(128).chopped(2) << lineValues(128) << 0 << false;
        QTest::newRow("leading number of each line")
            << "1,5\r\n \t2.5 m/s\r\nabc\r\n-1.5E3x\r\n\r\n" + fileLines(128, 5) << odd << 0
            << false;
        QTest::newRow("refused value, loading goes on")
            << fileLines(128).replace("\r\n5.25\r\n", "\r\n20\r\n") << refused << 1 << false;
        QTest::newRow("100 lines") << fileLines(100) << lineValues(100) << 0 << true;
        QTest::newRow("binary from line 3")
            << fileLines(2) + QByteArray("\x01\x00\xff\r\n", 5) + fileLines(128, 3) << lineValues(2)
            << 0 << true;
        QTest::newRow("overlong line 2")
            << fileLines(1) + QByteArray(int(ParamFiles::MaxLineLength) + 1, '7') + "\r\n" +
                   fileLines(128)
            << lineValues(1) << 0 << true;
    }

    void load() {
        QFETCH(QByteArray, content);
        QFETCH(QList<float>, expected);
        QFETCH(int, warnings);
        QFETCH(bool, failure);
        Fixture f;
        QVERIFY(writeBytes(f.path("p.quv"), content));
        QCOMPARE(f.files().load(f.path("p.quv")),
                 failure ? ParamFiles::Result::Failed : ParamFiles::Result::Done);
        for (int i = 0; i < ParamModule::Count; ++i)
            QCOMPARE(f.params.ParamValues()[i],
                     i < expected.size() && i != ParamFiles::FirmwareIndex ? expected[i]
                                                                           : kUntouched);
        QCOMPARE(f.prompts.messages.size(), warnings);
    }

    void endlessDeviceRefused() {
        // Opened as a parameter file, an endless device is refused, not read for ever.
        Fixture f;
        QCOMPARE(f.files().load(QStringLiteral("/dev/zero")), ParamFiles::Result::Failed);
        QCOMPARE(f.params.ParamValues()[0], kUntouched);
    }

    void failedWriteKeepsEarlierFile() {
        // A file size limit makes the write fail half-way, as a full disk would, even
        // for a user whom permissions do not stop.
        Fixture f;
        const QString path = f.path("p.quv");
        QVERIFY(writeBytes(path, "earlier\r\n"));
        rlimit before{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
        auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = before;
        small.rlim_cur = 100;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const auto result = f.files().save(path);
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, previousHandler);

        QCOMPARE(result, ParamFiles::Result::Failed);
        QCOMPARE(readBytes(path), QByteArray("earlier\r\n"));
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files),
                 QStringList({"defs.txt", "p.quv", "t.lng"}));
    }
};

QTEST_GUILESS_MAIN(TestParamFiles)
#include "tst_paramfiles.moc"
