// Parameter files: the exact bytes written, loading through the setter, and every
// way a load or a save can go wrong without losing more than it must.
#include "DataFiles.h"
#include "LangModule.h"
#include "ParamFiles.h"
#include "ParamModule.h"
#include "RecordingPrompts.h"

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

constexpr float kUntouched = 77.0f;

// A scratch folder with a pack and a catalogue in which index 5 ("Speed", 0..10)
// is the only checked parameter; every other index takes any value.
struct Fixture {
    QTemporaryDir dir;
    RecordingPrompts prompts;
    LangModule lang{dir.path(), prompts};
    ParamModule params{lang, prompts};

    Fixture() {
        writePack(dir.path(), "t.lng", "Test",
                  {"0#defs.txt", "53#Replace %1?", "114# too large, max ", "115# too small, min ",
                   "116#!", "118#Warn"});
        writeCodePageFile(dir.filePath("defs.txt"), {"P5:5:Speed:V3:m/s:0:10:0:1000:0"});
        lang.LoadLanguagePack("t.lng");
        params.LoadParamDefinitions(dir.path());
        params.ParamValues.fill(kUntouched);
    }
    ParamFiles files() { return ParamFiles(params, lang, prompts, QStringLiteral("Main")); }
    QString path(const QString& name) const { return dir.filePath(name); }
};

// Lines "first.25" .. "(count - 1).25": line i holds i + 0.25.
QByteArray fileLines(int count, const char* end = "\r\n", int first = 0) {
    QByteArray text;
    for (int i = first; i < count; ++i)
        text += QByteArray::number(i) + ".25" + end;
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
    void init() { QLocale::setDefault(QLocale::c()); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void roundTripWithDecimalComma();
    void load_data();
    void load();
    void largeFileIsReadOnlyAsFarAsNeeded();
    void unloadable_data();
    void unloadable();
    void cancelledDialogsDoNothing_data();
    void cancelledDialogsDoNothing();
    void replacingAsksFirst_data();
    void replacingAsksFirst();
    void unwritableTargets_data();
    void unwritableTargets();
    void failedWriteKeepsEarlierFile();
};

void TestParamFiles::roundTripWithDecimalComma() {
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    Fixture f;
    const QList<QPair<float, QByteArray>> samples = {{2.5f, "2.5"},
                                                     {-1.0f, "-1"},
                                                     {0.7f, "0.7"},
                                                     {1e-5f, "1E-05"},
                                                     {1.234568e7f, "1.234568E+07"},
                                                     {1430.0f, "1430"},
                                                     {0.0f, "0"},
                                                     {-0.125f, "-0.125"}};
    QByteArray expected;
    for (int i = 0; i < ParamModule::Count; ++i) {
        const auto& sample = samples[i % samples.size()];
        f.params.SetParameter(i, i == 5 ? 2.5f : sample.first);
        expected += (i == 5 ? QByteArray("2.5") : sample.second) + "\r\n";
    }
    const std::array<float, ParamModule::Count> saved = f.params.ParamValues;

    f.prompts.fileAnswers = {f.path("a.quv"), f.path("a.quv")};
    QCOMPARE(f.files().SaveParamFile(), ParamFiles::Result::Done);
    QCOMPARE(readBytes(f.path("a.quv")), expected);

    f.params.ParamValues.fill(kUntouched);
    QCOMPARE(f.files().OpenParamFile(), ParamFiles::Result::Done);
    QCOMPARE(f.params.ParamValues, saved);
    QCOMPARE(f.prompts.patterns, QStringList({"*.quv", "*.quv"}));
    QCOMPARE(f.prompts.texts(), QStringList());

    QCOMPARE(f.files().save(f.path("b.quv")), ParamFiles::Result::Done);
    QCOMPARE(readBytes(f.path("b.quv")), expected);
}

void TestParamFiles::load_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QList<float>>("expected"); // indexes 0.. in order; the rest keep 77
    QTest::addColumn<int>("warnings");
    QTest::addColumn<bool>("failure");

    QList<float> odd = lineValues(128);
    odd[0] = 1.0f;
    odd[1] = 2.5f;
    odd[2] = 0.0f;
    odd[3] = -1500.0f;
    odd[4] = 0.0f;
    QByteArray oddText = "1,5\r\n \t2.5 m/s\r\nabc\r\n-1.5E3x\r\n\r\n" + fileLines(128, "\r\n", 5);

    QList<float> outOfRange = lineValues(128);
    outOfRange[5] = kUntouched;
    QByteArray outOfRangeText = fileLines(128);
    outOfRangeText.replace("\r\n5.25\r\n", "\r\n20\r\n");

    QTest::newRow("128 lines") << fileLines(128) << lineValues(128) << 0 << false;
    QTest::newRow("line feeds only") << fileLines(128, "\n") << lineValues(128) << 0 << false;
    QTest::newRow("carriage returns only") << fileLines(128, "\r") << lineValues(128) << 0 << false;
    QTest::newRow("no end after the last line")
        << fileLines(128).chopped(2) << lineValues(128) << 0 << false;
    QTest::newRow("lines after 128 ignored") << fileLines(140) << lineValues(128) << 0 << false;
    QTest::newRow("leading number of each line") << oddText << odd << 0 << false;
    QTest::newRow("refused value, loading goes on") << outOfRangeText << outOfRange << 1 << false;
    QTest::newRow("100 lines") << fileLines(100) << lineValues(100) << 0 << true;
    QTest::newRow("empty") << QByteArray() << QList<float>() << 0 << true;
    QTest::newRow("binary from line 3")
        << fileLines(2) + QByteArray("\x01\x00\xff\r\n", 5) + fileLines(128, "\r\n", 3)
        << lineValues(2) << 0 << true;
    QTest::newRow("overlong line 2")
        << fileLines(1) + QByteArray(int(ParamFiles::MaxLineLength) + 1, '7') + "\r\n" +
               fileLines(128)
        << lineValues(1) << 0 << true;
}

void TestParamFiles::load() {
    QFETCH(QByteArray, content);
    QFETCH(QList<float>, expected);
    QFETCH(int, warnings);
    QFETCH(bool, failure);
    Fixture f;
    QVERIFY(writeBytes(f.path("p.quv"), content));
    f.prompts.fileAnswers = {f.path("p.quv")};

    const auto result = f.files().OpenParamFile();

    QCOMPARE(result, failure ? ParamFiles::Result::Failed : ParamFiles::Result::Done);
    for (int i = 0; i < ParamModule::Count; ++i)
        QCOMPARE(f.params.ParamValues[i], i < expected.size() ? expected[i] : kUntouched);
    QCOMPARE(f.prompts.messages.size(), warnings + (failure ? 1 : 0));
    if (failure) {
        const auto& last = f.prompts.messages.last();
        QCOMPARE(last.icon, Prompts::Icon::Critical);
        QCOMPARE(last.title, QStringLiteral("Main"));
        QCOMPARE(last.text, QDir::toNativeSeparators(f.path("p.quv")) +
                                QString::fromUtf8(" dosyası açılamadı."));
    }
}

void TestParamFiles::largeFileIsReadOnlyAsFarAsNeeded() {
    // 128 good lines at the front of a 4 GB sparse file: loading it whole would not fit.
    Fixture f;
    QFile file(f.path("big.quv"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(fileLines(128));
    if (!file.resize(qint64(4) << 30))
        QSKIP("the scratch file system has no sparse files");
    file.close();

    QCOMPARE(f.files().load(f.path("big.quv")), ParamFiles::Result::Done);
    QCOMPARE(f.params.ParamValues[127], 127.25f);
    QCOMPARE(f.prompts.texts(), QStringList());
}

void TestParamFiles::unloadable_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("directory") << "directory";
    QTest::newRow("missing") << "missing";
    QTest::newRow("no read permission") << "unreadable";
    QTest::newRow("endless device") << "device";
}

void TestParamFiles::unloadable() {
    QFETCH(QString, kind);
    Fixture f;
    QString path = f.path("x.quv");
    if (kind == "directory") {
        QVERIFY(QDir(f.dir.path()).mkdir("x.quv"));
    } else if (kind == "unreadable") {
        QVERIFY(writeBytes(path, fileLines(128)));
        QFile::setPermissions(path, QFileDevice::WriteOwner);
        if (QFile(path).open(QIODevice::ReadOnly))
            QSKIP("running with rights that read any file");
    } else if (kind == "device") {
        path = QStringLiteral("/dev/zero");
        if (!QFile::exists(path))
            QSKIP("no /dev/zero here");
    }

    QCOMPARE(f.files().load(path), ParamFiles::Result::Failed);
    for (float v : f.params.ParamValues)
        QCOMPARE(v, kUntouched);
    QCOMPARE(f.prompts.texts(), QStringList{QDir::toNativeSeparators(path) +
                                            QString::fromUtf8(" dosyası açılamadı.")});
}

void TestParamFiles::cancelledDialogsDoNothing_data() {
    QTest::addColumn<bool>("save");
    QTest::newRow("open") << false;
    QTest::newRow("save") << true;
}

void TestParamFiles::cancelledDialogsDoNothing() {
    QFETCH(bool, save);
    Fixture f;
    QVERIFY(writeBytes(f.path("old.quv"), "old"));
    const auto result = save ? f.files().SaveParamFile() : f.files().OpenParamFile();
    QCOMPARE(result, ParamFiles::Result::Cancelled);
    QCOMPARE(f.prompts.patterns, QStringList{"*.quv"});
    QCOMPARE(f.prompts.messages.size(), 0);
    QCOMPARE(f.prompts.questions.size(), 0);
    for (float v : f.params.ParamValues)
        QCOMPARE(v, kUntouched);
    QCOMPARE(QDir(f.dir.path()).entryList({"*.quv"}), QStringList{"old.quv"});
}

void TestParamFiles::replacingAsksFirst_data() {
    QTest::addColumn<bool>("answer");
    QTest::newRow("yes replaces") << true;
    QTest::newRow("no keeps the file") << false;
}

void TestParamFiles::replacingAsksFirst() {
    QFETCH(bool, answer);
    Fixture f;
    const QString path = f.path("old.quv");
    QVERIFY(writeBytes(path, "old"));
    f.prompts.fileAnswers = {path};
    f.prompts.confirmAnswers = {answer};

    const auto result = f.files().SaveParamFile();

    QCOMPARE(result, answer ? ParamFiles::Result::Done : ParamFiles::Result::Cancelled);
    QCOMPARE(f.prompts.questions,
             QStringList{"Main|Replace " + QDir::toNativeSeparators(path) + "?"});
    QCOMPARE(readBytes(path), answer ? f.files().fileText() : QByteArray("old"));
    QCOMPARE(f.prompts.messages.size(), 0);
}

void TestParamFiles::unwritableTargets_data() {
    QTest::addColumn<QString>("target");
    QTest::newRow("a directory") << "dir";
    QTest::newRow("folder missing") << "missing/p.quv";
    QTest::newRow("folder without write permission") << "locked/p.quv";
}

void TestParamFiles::unwritableTargets() {
    QFETCH(QString, target);
    Fixture f;
    QDir(f.dir.path()).mkdir("dir");
    QDir(f.dir.path()).mkdir("locked");
    QFile::setPermissions(f.path("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (target.startsWith("locked") && writeBytes(f.path("locked/probe"), "x"))
        QSKIP("running with rights that write anywhere");
    f.prompts.fileAnswers = {f.path(target)};

    QCOMPARE(f.files().SaveParamFile(), ParamFiles::Result::Failed);
    QCOMPARE(f.prompts.questions.size(), 0);
    QCOMPARE(f.prompts.texts(), QStringList{QDir::toNativeSeparators(f.path(target)) +
                                            QString::fromUtf8(" dosyası açılamadı.")});
    QVERIFY(QFileInfo(f.path(target)).isDir() || !QFileInfo::exists(f.path(target)));
    QFile::setPermissions(f.path("locked"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void TestParamFiles::failedWriteKeepsEarlierFile() {
    // A file size limit makes the write fail half-way, as a full disk would, even
    // for a user whom permissions do not stop.
    Fixture f;
    const QString path = f.path("p.quv");
    QVERIFY(writeBytes(path, "earlier\r\n"));
    f.prompts.fileAnswers = {path};
    f.prompts.confirmAnswers = {true};

    rlimit before{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
    auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 100;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto result = f.files().SaveParamFile();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(result, ParamFiles::Result::Failed);
    QCOMPARE(readBytes(path), QByteArray("earlier\r\n"));
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files),
             QStringList({"defs.txt", "p.quv", "t.lng"}));
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].icon, Prompts::Icon::Critical);
}

QTEST_GUILESS_MAIN(TestParamFiles)
#include "tst_paramfiles.moc"
