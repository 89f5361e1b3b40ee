// Language packs: which files count, how entry lines are read, what a switch keeps.
#include "lang/FixedTexts.h"
#include "lang/LangModule.h"
#include "support/DataFiles.h"

#include <QTemporaryDir>
#include <QTest>

class TestLangPacks : public QObject {
    Q_OBJECT

private slots:
    void entryLines_data();
    void entryLines();
    void malformedLinesReportedOncePerFile();
    void notAPack_data();
    void notAPack();
    void packFilesSortedAndFiltered();
    void textKeptAcrossSwitch();
    void noPack();
    void shippedPacks();
};

void TestLangPacks::entryLines_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << QStringList{"1#Dosya"} << 1 << "Dosya";
    QTest::newRow("hash in text") << QStringList{"12#a#b #c"} << 12 << "a#b #c";
    QTest::newRow("blanks before index") << QStringList{"   7#x"} << 7 << "x";
    QTest::newRow("later duplicate wins") << QStringList{"3#first", "3#second"} << 3 << "second";
    QTest::newRow("empty text") << QStringList{"4#old", "4#"} << 4 << "";
    QTest::newRow("index 127") << QStringList{"127#last"} << 127 << "last";
    QTest::newRow("index 0 names a file") << QStringList{"0#params.def"} << 0 << "params.def";
    QTest::newRow("fraction rounds half to even") << QStringList{"2.5#two"} << 2 << "two";
    QTest::newRow("turkish characters") << QStringList{QString::fromUtf8("20#Monitör ığşİ")} << 20
                                        << QString::fromUtf8("Monitör ığşİ");
}

void TestLangPacks::entryLines() {
    QFETCH(QStringList, entries);
    QFETCH(int, index);
    QTemporaryDir dir;
    QVERIFY(writePack(dir.path(), "a.lng", "Deneme", entries));
    LangModule lang(dir.path());
    QCOMPARE(lang.LoadLanguagePack("a.lng").language, QStringLiteral("Deneme"));
    QTEST(lang.LangText(index), "text");
}

void TestLangPacks::malformedLinesReportedOncePerFile() {
    QTemporaryDir dir;
    QVERIFY(writePack(
        dir.path(), "bad.lng", "Bad",
        {"1#one", "no hash here", "", "200#too big", "-1#negative", "abc#word", "2#two"}));
    LangModule lang(dir.path());
    const LangModule::PackLoad load = lang.LoadLanguagePack("bad.lng");
    QCOMPARE(load.language, QStringLiteral("Bad"));
    // Good lines around the bad ones still count; nothing lands at 0 or 127.
    QCOMPARE(lang.LangText(1), QStringLiteral("one"));
    QCOMPARE(lang.LangText(2), QStringLiteral("two"));
    QCOMPARE(lang.LangText(0), QString());
    QCOMPARE(lang.LangText(127), QString());
    QCOMPARE(load.firstBadLine, 4); // line 4 of the file is the first bad one
    QVERIFY(load.problem(lang).contains("bad.lng"));
}

void TestLangPacks::notAPack_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("wrong header") << QByteArray("---OTHER---\r\nX\r\n1#a\r\n");
    QTest::newRow("header with blank") << QByteArray(" ---QUVERA LNGPCK---\r\nX\r\n1#a\r\n");
    QTest::newRow("lower case header") << QByteArray("---quvera lngpck---\r\nX\r\n1#a\r\n");
    QTest::newRow("empty file") << QByteArray();
}

void TestLangPacks::notAPack() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    QFile file(dir.filePath("x.lng"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    LangModule lang(dir.path());
    lang.setText(1, "kept");
    QVERIFY(!lang.LoadLanguagePack("x.lng").isPack());
    QCOMPARE(lang.LangText(1), QStringLiteral("kept"));
    QVERIFY(!lang.LoadLanguagePack("missing.lng").isPack());
}

void TestLangPacks::packFilesSortedAndFiltered() {
    QTemporaryDir dir;
    for (const char* name : {"b.lng", "B.lng", "a.lng", "c.LNG", "d.lng.bak", "e.lngx", "lng"})
        QVERIFY(writePack(dir.path(), name, name, {}));
    QVERIFY(QDir(dir.path()).mkdir("f.lng")); // a folder is no pack
    LangModule lang(dir.path());
    QCOMPARE(lang.packFiles(), (QStringList{"B.lng", "a.lng", "b.lng"}));
    QVERIFY(lang.FindLanguagePacks());
    QCOMPARE(lang.packs().size(), 3);
    QCOMPARE(lang.packs()[0].language, QStringLiteral("B.lng"));
    // Beyond five packs, the first five in sorted order are offered.
    for (const char* name : {"c.lng", "d.lng", "e.lng"})
        QVERIFY(writePack(dir.path(), name, name, {}));
    QVERIFY(lang.FindLanguagePacks());
    QCOMPARE(lang.packs().size(), 5);
    QCOMPARE(lang.packs().last().fileName, QStringLiteral("d.lng"));
}

void TestLangPacks::textKeptAcrossSwitch() {
    QTemporaryDir dir;
    QVERIFY(writePack(dir.path(), "a.lng", "A", {"1#A one", "50#only in A"}));
    QVERIFY(writePack(dir.path(), "b.lng", "B", {"1#B one"}));
    LangModule lang(dir.path());
    lang.LoadLanguagePack("a.lng");
    lang.LoadLanguagePack("b.lng");
    QCOMPARE(lang.LangText(1), QStringLiteral("B one"));
    QCOMPARE(lang.LangText(50), QStringLiteral("only in A"));
}

void TestLangPacks::noPack() {
    QTemporaryDir dir;
    QVERIFY(writePack(dir.path(), "upper.LNG", "U", {}));
    LangModule lang(dir.path());
    QVERIFY(!lang.FindLanguagePacks());
    QCOMPARE(FixedTexts::noLanguagePack(),
             QString::fromUtf8("Dil paketi bulunamadı. Program sonlandiriliyor.\r\n"
                               "No language pack could be found. Terminating program"));
}

void TestLangPacks::shippedPacks() {
    LangModule lang(binFolder());
    QVERIFY(lang.FindLanguagePacks());
    QVERIFY(lang.packs().size() >= 2);
    // Turkish sorts first, so it is the pack loaded at start-up.
    QCOMPARE(lang.LoadLanguagePack(lang.packs()[0].fileName).language, QString::fromUtf8("Türkçe"));
    QCOMPARE(lang.LangText(1), QStringLiteral("Dosya"));
    QCOMPARE(lang.LangText(20), QString::fromUtf8("Monitör"));
    QCOMPARE(lang.LangText(125), QString::fromUtf8("Mesafeye göre yavaşlama/durma"));
    // Every text index the program looks up.
    QList<int> used{0, 43, 48, 49, 66, 67, 69, 70, 125, 126};
    for (const auto& [from, to] :
         {std::pair{1, 11}, {20, 22}, {30, 42}, {44, 47}, {50, 62}, {80, 96}, {100, 124}})
        for (int i = from; i <= to; ++i)
            used << i;
    for (const auto& pack : lang.packs()) {
        LangModule only(binFolder());
        QVERIFY(only.LoadLanguagePack(pack.fileName).isPack());
        for (int index : used)
            QVERIFY2(only.hasPackText(index),
                     qPrintable(QString("%1 lacks text %2").arg(pack.fileName).arg(index)));
    }
}

QTEST_APPLESS_MAIN(TestLangPacks)
#include "tst_langpacks.moc"
