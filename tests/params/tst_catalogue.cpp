// The parameter catalogue: definition lines, the setter's checks and what it tells
// its listeners, lookups, and the shipped definition files.
#include "lang/FixedTexts.h"
#include "platform/NumberText.h"
#include "support/ScratchParams.h"

#include <QLocale>
#include <QTest>
#include <limits>

namespace {

// The values each store showed to the views.
struct Recorder : ParamListener {
    void parameterStored(int, const ParamDef&, float value) override { stored << value; }
    QList<float> stored;
};

using Fixture = ScratchParams;

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void definitionLine_data() {
        QTest::addColumn<QString>("line");
        QTest::newRow("colon after last") << "X:5:Name:ID:unit:0:2.5:0:100:826:";
        QTest::newRow("comment after last") << "X:5:Name:ID:unit:0:2.5:0:100:826 ; note: x";
        QTest::newRow("blanks before numbers") << "label:5:Name:ID:unit: 0: 2.5:0: 100: 826";
    }

    void definitionLine() {
        QFETCH(QString, line);
        Fixture f({"; header comment", "", line, "Y:9:Other:ID:unit:0:1:0:1:0"});
        QVERIFY(f.load);
        const ParamDef& def = f.params.ParamCatalogue[5];
        QCOMPARE(QStringList({def.name, def.id, def.unit}), QStringList({"Name", "ID", "unit"}));
        QCOMPARE(QList<float>({def.minValue, def.maxValue, def.scale, def.minVersion}),
                 QList<float>({0.0f, 2.5f, 100.0f, 826.0f}));
        QVERIFY(f.prompts.messages.isEmpty() && f.params.catalogueComplete());
        // An identifier names the first record holding it, in its own case only.
        QCOMPARE(f.params.FindParamById("ID"), 5);
        QCOMPARE(f.params.FindParamById("id"), 127);
    }

    // A file that leaves an index undefined is refused whole: the catalogue loaded
    // before stays, and the problem names the file and the first missing index.
    void definitionFiles_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("firstBadLine");
        QTest::addColumn<int>("firstMissing");
        const QStringList all = completeDefinitions({});
        QTest::newRow("bad lines skipped")
            << completeDefinitions({"a:1:One:P1:V:0:10:0:1:0", "b:1:Two:P2:V:0:10:0:1",
                                    "c:128:Big:P3:V:0:1:0:1:0", "d:x:Word:P4:V:0:1:0:1:0"})
            << 2 << -1;
        QTest::newRow("cut before 75") << all.mid(0, 75) << 0 << 75;
        QTest::newRow("empty") << QStringList() << 0 << 0;
    }
    void definitionFiles() {
        QFETCH(QStringList, lines);
        QFETCH(int, firstBadLine);
        QFETCH(int, firstMissing);
        Fixture f({"a:1:Before:P1:V:0:10:0:1:0"});
        QVERIFY(writeCodePageFile(f.dir.filePath("defs.txt"), lines));
        const ParamModule::DefinitionLoad load = f.params.LoadParamDefinitions(f.dir.path());
        QCOMPARE(load.firstBadLine, firstBadLine);
        QCOMPARE(load.firstMissing, firstMissing);
        QCOMPARE(bool(load), firstMissing < 0);
        QCOMPARE(f.params.ParamCatalogue[1].name, firstMissing < 0 ? "One" : "Before");
        const QString problem = load.problem(f.lang);
        QCOMPARE(problem.isEmpty(), firstBadLine == 0 && firstMissing < 0);
        QVERIFY(problem.isEmpty() || problem.contains("defs.txt"));
        if (firstMissing >= 0)
            QVERIFY(problem.contains(QString::number(firstMissing)));
    }

    void missingDefinitionFile() {
        Fixture f({"a:1:One:P1:V:0:10:0:1:0"});
        // A path out of the folder is the fuzz replay's (crashes/langpack); a folder or a
        // device in its place is the safe-file reader's.
        f.lang.setText(0, "absent.txt");
        const ParamModule::DefinitionLoad load = f.params.LoadParamDefinitions(f.dir.path());
        QVERIFY(!load && !load.loaded && load.problem(f.lang).contains("absent.txt"));
        QCOMPARE(f.params.ParamCatalogue[1].name, QStringLiteral("One"));
    }

    void setterCodes_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<float>("value");
        QTest::addColumn<float>("driveVersion");
        QTest::addColumn<short>("code");
        QTest::addColumn<float>("stored");
        // Index 1: limits 0.5 .. 2.5; index 2: needs firmware 826; 3: placeholder; 125: version.
        const float huge = std::numeric_limits<float>::infinity(); // what 1e308 reads as
        QTest::newRow("at max") << 1 << 2.5f << 100000.0f << short(0) << 2.5f;
        QTest::newRow("at min") << 1 << 0.5f << 100000.0f << short(0) << 0.5f;
        QTest::newRow("above max") << 1 << 2.51f << 100000.0f << short(1) << 1.0f;
        QTest::newRow("below min") << 1 << 0.49f << 100000.0f << short(-1) << 1.0f;
        QTest::newRow("not on this firmware") << 2 << 99.0f << 825.0f << short(0) << 99.0f;
        QTest::newRow("on this firmware") << 2 << 99.0f << 826.0f << short(1) << 1.0f;
        QTest::newRow("placeholder") << 3 << -1.0f << 100000.0f << short(0) << -1.0f;
        QTest::newRow("version word") << 125 << 32767.0f << 100000.0f << short(0) << 32767.0f;
        QTest::newRow("no word, placeholder") << 3 << huge << 100000.0f << short(3) << 1.0f;
        QTest::newRow("no word, unchecked") << 2 << 70000.0f << 825.0f << short(3) << 1.0f;
        QTest::newRow("no word, checked") << 1 << huge << 100000.0f << short(3) << 1.0f;
    }

    void setterCodes() {
        QFETCH(int, index);
        QFETCH(float, value);
        QFETCH(float, driveVersion);
        QFETCH(short, code);
        Fixture f({"a:1:Speed:V3:m/s:0.5:2.5:0:1000:0", "b:2:New:NW:x:0:10:0:1:826",
                   "c:3:*DUMMY*:D:x:0:0:0:1:0", "d:125:Version:ver:-:0:1:0:1:0"});
        for (int i : {1, 2, 3, 125})
            f.params.SetParameter(i, 1.0f);
        f.params.takeDriveVersion(driveVersion);
        Recorder views;
        f.params.addListener(&views);
        QCOMPARE(f.params.SetParameter(index, value), code);
        QTEST(f.params.GetParameter(index), "stored");
        // Accepted: the views show the value. Too large: every view shows the old value
        // again. Otherwise the views are left as they were.
        QCOMPARE(views.stored,
                 code == 0 || code == 1 ? QList{f.params.GetParameter(index)} : QList<float>());
        QCOMPARE(f.prompts.messages.size(), code == 0 ? 0 : 1);
        const QString text = f.prompts.texts().value(0);
        if (code == ParamModule::OutOfRange) // out of range, naming the row
            QCOMPARE(text, f.lang.LangText(TextId::ValueOutOfRange)
                               .arg(index == 3 ? "#3" : f.params.ParamCatalogue[index].name,
                                    NumberText::general(value)));
        else if (index == 1 && code != 0)
            QCOMPARE(text, code == 1 ? QStringLiteral("Speed too large, max 2.5 m/s!")
                                     : QStringLiteral("Speed too small, min 0.5 m/s!"));
    }

    void tooLargeWithPreviousAboveLimitEnds() {
        // Tighter limits loaded after the value was stored: the retry must not recurse.
        Fixture f({"a:1:Speed:V3:m/s:0:10:0:1:0"});
        Recorder views;
        f.params.addListener(&views);
        f.params.SetParameter(1, 8.0f);
        f.params.ParamCatalogue[1].maxValue = 5.0f;
        f.params.SetParameter(1, 9.0f);
        QCOMPARE(f.params.GetParameter(1), 8.0f);
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(views.stored.size(), 2);
        QCOMPARE(views.stored[1], 8.0f);
    }

    void decimalCommaValidatesLikePoint() {
        QLocale::setDefault(QLocale(QStringLiteral("tr_TR")));
        Fixture f({"a:1:Speed:V3:m/s:0.5:2.5:0:1000:0"});
        QList<short> codes;
        for (const char* text : {"2,5", "2.5", "2,6", "abc", "2.5x", "inf"})
            codes << f.params.ValidateParamText(1, text);
        QCOMPARE(codes, QList<short>({0, 0, 1, 2, 2, 2}));
        f.params.SetParameter(1, 2.5f); // formatted "2,5" in this locale, still accepted
        QCOMPARE(f.params.GetParameter(1), 2.5f);
        QVERIFY(f.prompts.messages.isEmpty());
    }

    // Every shipped pack holds the same texts, among them every text the program has
    // an English stand-in for (those are for packs of older programs), and its
    // definition file loads cleanly and names what the model reads. (The Turkish pack
    // coming first is checked by the main window's start-up.)
    void shippedPacksAndDefinitions() {
        LangModule packs(binFolder());
        QVERIFY(packs.FindLanguagePacks() && packs.packs().size() >= 2);
        QList<int> firstHeld;
        for (const auto& pack : packs.packs()) {
            RecordingPrompts prompts;
            LangModule lang(binFolder());
            QVERIFY(lang.LoadLanguagePack(pack.fileName).isPack());
            QList<int> held;
            for (int i = 0; i < LangModule::TextCount; ++i) {
                QVERIFY2(lang.hasPackText(i) || FixedTexts::fallback(TextId(i)).isEmpty(),
                         qPrintable(QString("%1 lacks text %2").arg(pack.fileName).arg(i)));
                if (lang.hasPackText(i))
                    held << i;
            }
            QCOMPARE(held, firstHeld.isEmpty() ? held : firstHeld);
            firstHeld = held;
            ParamModule params(lang, prompts);
            QVERIFY2(params.LoadParamDefinitions(binFolder()), qPrintable(pack.fileName));
            params.LoadDefaultParameters();
            QCOMPARE(prompts.texts(), QStringList());
            for (const char* id : {"V0", "V1", "V2", "V3", "PA", "NA", "S1", "S2", "S3", "S4", "VS",
                                   "AS", "par_tsu", "mb_on", "mb_off", "stpmod", "stpd", "slwd"})
                QVERIFY2(params.FindParamById(id) != 127, id);
        }
    }
};

QTEST_APPLESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
