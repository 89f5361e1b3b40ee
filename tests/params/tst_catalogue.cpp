// The parameter catalogue: definition lines, the setter's checks and what it tells
// its listeners, lookups, and the shipped definition files.
#include "lang/LangModule.h"
#include "params/ParamModule.h"
#include "support/DataFiles.h"
#include "support/RecordingPrompts.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Stored {
    int index;
    float value;
};

class Recorder : public ParamListener {
public:
    void parameterStored(int index, const ParamDef&, float value) override {
        stored.append({index, value});
    }
    QList<Stored> stored;
};

// A scratch folder with one pack naming `defFile` and the given definition lines.
struct Fixture {
    QTemporaryDir dir;
    RecordingPrompts prompts;
    LangModule lang{dir.path()};
    ParamModule params{lang, prompts};

    explicit Fixture(const QStringList& definitions) {
        writePack(
            dir.path(), "t.lng", "Test",
            {"0#defs.txt", "114# too large, max ", "115# too small, min ", "116#!", "118#Warn"});
        writeCodePageFile(dir.filePath("defs.txt"), definitions);
        lang.LoadLanguagePack("t.lng");
        params.setTitle("Main");
    }
};

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void definitionLine_data();
    void definitionLine();
    void badDefinitionLines();
    void missingDefinitionFile();
    void setterCodes_data();
    void setterCodes();
    void tooLargeWithPreviousAboveLimitEnds();
    void decimalCommaValidatesLikePoint();
    void lookups();
    void shippedDefinitions_data();
    void shippedDefinitions();
};

void TestCatalogue::definitionLine_data() {
    QTest::addColumn<QString>("line");
    QTest::newRow("nine fields") << "X:5:Name:ID:unit:0:2.5:0:100:826";
    QTest::newRow("colon after last") << "X:5:Name:ID:unit:0:2.5:0:100:826:";
    QTest::newRow("comment after last") << "X:5:Name:ID:unit:0:2.5:0:100:826 ; note: x";
    QTest::newRow("blanks before numbers") << "label:5:Name:ID:unit: 0: 2.5:0: 100: 826";
}

void TestCatalogue::definitionLine() {
    QFETCH(QString, line);
    Fixture f({"; header comment", "", line});
    QVERIFY(f.params.LoadParamDefinitions(f.dir.path()));
    const ParamDef& def = f.params.ParamCatalogue[5];
    QCOMPARE(def.name, QStringLiteral("Name"));
    QCOMPARE(def.id, QStringLiteral("ID"));
    QCOMPARE(def.unit, QStringLiteral("unit"));
    QCOMPARE(def.minValue, 0.0f);
    QCOMPARE(def.maxValue, 2.5f);
    QCOMPARE(def.scale, 100.0f);
    QCOMPARE(def.minVersion, 826.0f);
    QCOMPARE(f.params.ParamCount, short(1));
    QCOMPARE(f.params.ParamCatalogue[4].maxValue,
             65535.0f); // untouched records get the wide limits
    QVERIFY(f.prompts.messages.isEmpty());
}

void TestCatalogue::badDefinitionLines() {
    Fixture f({"a:1:One:P1:V:0:10:0:1:0", "b:2:Two:P2:V:0:10:0:1", "c:128:Big:P3:V:0:1:0:1:0",
               "d:x:Word:P4:V:0:1:0:1:0", "e:-1:Neg:P5:V:0:1:0:1:0", "f:3:Three:P3:V:0:10:0:1:0"});
    const ParamModule::DefinitionLoad load = f.params.LoadParamDefinitions(f.dir.path());
    QVERIFY(load);
    QCOMPARE(f.params.ParamCount, short(2));
    QCOMPARE(f.params.ParamCatalogue[1].name, QStringLiteral("One"));
    QCOMPARE(f.params.ParamCatalogue[3].name, QStringLiteral("Three"));
    QVERIFY(f.params.ParamCatalogue[2].name.isEmpty());
    QVERIFY(f.params.ParamCatalogue[0].name.isEmpty());
    QVERIFY(f.params.ParamCatalogue[127].name.isEmpty());
    QCOMPARE(load.firstBadLine, 2);
    QVERIFY(load.problem(f.lang).contains("defs.txt"));
}

void TestCatalogue::missingDefinitionFile() {
    Fixture f({"a:1:One:P1:V:0:10:0:1:0"});
    QVERIFY(f.params.LoadParamDefinitions(f.dir.path()));
    f.lang.setText(0, "absent.txt");
    f.params.ParamCatalogue[1].maxValue = 5;
    const ParamModule::DefinitionLoad load = f.params.LoadParamDefinitions(f.dir.path());
    QVERIFY(!load);
    QVERIFY(load.problem(f.lang).contains("absent.txt"));
    // The catalogue stays as it stood.
    QCOMPARE(f.params.ParamCatalogue[1].name, QStringLiteral("One"));
    QCOMPARE(f.params.ParamCatalogue[1].maxValue, 5.0f);
    f.lang.setText(0, ".");
    QVERIFY(!f.params.LoadParamDefinitions(f.dir.path())); // a folder is no file
    f.lang.setText(0, "../" + QFileInfo(f.dir.path()).fileName() + "/defs.txt");
    QVERIFY(!f.params.LoadParamDefinitions(f.dir.path())); // a path, even to this file
}

void TestCatalogue::setterCodes_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<float>("value");
    QTest::addColumn<float>("driveVersion");
    QTest::addColumn<short>("code");
    QTest::addColumn<float>("stored");
    // Index 1: limits 0.5 .. 2.5; index 2: needs firmware 826; 3: placeholder; 125: version.
    QTest::newRow("at max") << 1 << 2.5f << 100000.0f << short(0) << 2.5f;
    QTest::newRow("at min") << 1 << 0.5f << 100000.0f << short(0) << 0.5f;
    QTest::newRow("above max") << 1 << 2.51f << 100000.0f << short(1) << 1.0f;
    QTest::newRow("below min") << 1 << 0.49f << 100000.0f << short(-1) << 1.0f;
    QTest::newRow("not on this firmware") << 2 << 99.0f << 825.0f << short(0) << 99.0f;
    QTest::newRow("on this firmware") << 2 << 99.0f << 826.0f << short(1) << 1.0f;
    QTest::newRow("placeholder") << 3 << -1.0f << 100000.0f << short(0) << -1.0f;
    QTest::newRow("version word") << 125 << 99999.0f << 100000.0f << short(0) << 99999.0f;
}

void TestCatalogue::setterCodes() {
    QFETCH(int, index);
    QFETCH(float, value);
    QFETCH(float, driveVersion);
    QFETCH(short, code);
    Fixture f({"a:1:Speed:V3:m/s:0.5:2.5:0:1000:0", "b:2:New:NW:x:0:10:0:1:826",
               "c:3:*DUMMY*:D:x:0:0:0:1:0", "d:125:Version:ver:-:0:1:0:1:0"});
    QVERIFY(f.params.LoadParamDefinitions(f.dir.path()));
    for (int i = 1; i <= 3; ++i)
        f.params.ParamValues[std::size_t(i)] = 1.0f;
    f.params.ParamValues[125] = 1.0f;
    f.params.driveVersion = driveVersion;
    Recorder views;
    f.params.addListener(&views);
    QCOMPARE(f.params.ValidateParamText(index, QLocale::c().toString(double(value), 'G', 7)), code);
    f.params.SetParameter(index, value);
    QTEST(f.params.GetParameter(index), "stored");
    // Accepted: the views show the value. Too large: every view shows the old value
    // again. Too small: the views are left as they were.
    QCOMPARE(views.stored.size(), code == -1 ? 0 : 1);
    if (!views.stored.isEmpty())
        QCOMPARE(views.stored[0].value, f.params.GetParameter(index));
    QCOMPARE(f.prompts.messages.size(), code == 0 ? 0 : 1);
    if (code != 0) {
        QCOMPARE(f.prompts.messages[0].title, QStringLiteral("Warn"));
        QCOMPARE(f.prompts.messages[0].icon, Prompts::Icon::Warning);
    }
    if (index == 1 && code != 0)
        QCOMPARE(f.prompts.messages[0].text, code == 1
                                                 ? QStringLiteral("Speed too large, max 2.5 m/s!")
                                                 : QStringLiteral("Speed too small, min 0.5 m/s!"));
}

void TestCatalogue::tooLargeWithPreviousAboveLimitEnds() {
    // Tighter limits loaded after the value was stored: the retry must not recurse.
    Fixture f({"a:1:Speed:V3:m/s:0:10:0:1:0"});
    QVERIFY(f.params.LoadParamDefinitions(f.dir.path()));
    Recorder views;
    f.params.addListener(&views);
    f.params.SetParameter(1, 8.0f);
    f.params.ParamCatalogue[1].maxValue = 5.0f;
    f.params.SetParameter(1, 9.0f);
    QCOMPARE(f.params.GetParameter(1), 8.0f);
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(views.stored.size(), 2);
    QCOMPARE(views.stored[1].value, 8.0f);
}

void TestCatalogue::decimalCommaValidatesLikePoint() {
    QLocale::setDefault(QLocale(QStringLiteral("tr_TR")));
    Fixture f({"a:1:Speed:V3:m/s:0.5:2.5:0:1000:0"});
    QVERIFY(f.params.LoadParamDefinitions(f.dir.path()));
    QCOMPARE(f.params.ValidateParamText(1, "2,5"), short(0));
    QCOMPARE(f.params.ValidateParamText(1, "2.5"), short(0));
    QCOMPARE(f.params.ValidateParamText(1, "2,6"), short(1));
    QCOMPARE(f.params.ValidateParamText(1, "abc"), short(2));
    QCOMPARE(f.params.ValidateParamText(1, "2.5x"), short(2));
    QCOMPARE(f.params.ValidateParamText(1, "inf"), short(2));
    f.params.SetParameter(1, 2.5f); // formatted "2,5" in this locale, still accepted
    QCOMPARE(f.params.GetParameter(1), 2.5f);
    QVERIFY(f.prompts.messages.isEmpty());
}

void TestCatalogue::lookups() {
    Fixture f({"a:4:Speed:V3:m/s:0:10:0:1:0", "b:9:Other:V3:m/s:0:10:0:1:0"});
    QVERIFY(f.params.LoadParamDefinitions(f.dir.path()));
    QCOMPARE(f.params.FindParamById("V3"), 4);
    QCOMPARE(f.params.FindParamById("v3"), 127);
    QCOMPARE(f.params.FindParamById("nothing"), 127);
    QCOMPARE(f.params.FindGridRow(4), 127); // no grid yet
    QVERIFY(!f.params.setById("nothing", 1.0f));
    QVERIFY(f.params.setById("V3", 2.0f));
    QCOMPARE(f.params.valueById("V3"), 2.0f);
    QCOMPARE(f.params.valueById("nothing", -7.0f), -7.0f);
}

void TestCatalogue::shippedDefinitions_data() {
    QTest::addColumn<QString>("pack");
    RecordingPrompts prompts;
    LangModule lang(binFolder());
    for (const QString& file : lang.packFiles())
        QTest::newRow(qPrintable(file)) << file;
    if (lang.packFiles().isEmpty())
        QTest::newRow("no pack shipped") << QString();
}

void TestCatalogue::shippedDefinitions() {
    QFETCH(QString, pack);
    RecordingPrompts prompts;
    LangModule lang(binFolder());
    QVERIFY(lang.LoadLanguagePack(pack).isPack());
    ParamModule params(lang, prompts);
    QVERIFY(params.LoadParamDefinitions(binFolder()));
    params.LoadDefaultParameters();
    QCOMPARE(prompts.texts(), QStringList());
    const QStringList ids{"V0", "V1", "V2", "V3",      "PA",    "NA",     "S1",     "S2",   "S3",
                          "S4", "VS", "AS", "par_tsu", "mb_on", "mb_off", "stpmod", "stpd", "slwd"};
    for (const QString& id : ids)
        QVERIFY2(params.FindParamById(id) != 127, qPrintable(id));
    QCOMPARE(params.FindParamById("V3"), 16);
    QCOMPARE(params.ParamCatalogue[16].scale, 1000.0f);
    QCOMPARE(params.ParamCatalogue[20].scale, 10.0f);
    QCOMPARE(params.valueById("stpmod"), 1.0f);
    int newer = 0;
    for (const ParamDef& def : params.ParamCatalogue)
        newer += def.minVersion == 826.0f ? 1 : 0;
    QVERIFY(newer >= 2);
}

QTEST_APPLESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
