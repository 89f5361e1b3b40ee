// Language packs: which files count and how entry lines are read.
#include "lang/LangModule.h"
#include "support/DataFiles.h"

#include <QTemporaryDir>
#include <QTest>

class TestLangPacks : public QObject {
    Q_OBJECT

private slots:
    void entryLines_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::newRow("hash in text") << QStringList{"12#a#b #c"} << 12 << "a#b #c";
        QTest::newRow("blanks before index") << QStringList{"   7#x"} << 7 << "x";
        QTest::newRow("later duplicate wins")
            << QStringList{"3#first", "3#second"} << 3 << "second";
        QTest::newRow("empty text") << QStringList{"4#old", "4#"} << 4 << "";
        QTest::newRow("index 255") << QStringList{"255#last"} << 255 << "last";
        QTest::newRow("fraction rounds half to even") << QStringList{"2.5#two"} << 2 << "two";
    }
    void entryLines() {
        QFETCH(QStringList, entries);
        QFETCH(int, index);
        QTemporaryDir dir;
        QVERIFY(writePack(dir.path(), "a.lng", "Deneme", entries));
        LangModule lang(dir.path());
        QCOMPARE(lang.LoadLanguagePack("a.lng").language, QStringLiteral("Deneme"));
        QTEST(lang.LangText(index), "text");
    }

    void malformedLinesReportedOncePerFile() {
        QTemporaryDir dir;
        QVERIFY(writePack(
            dir.path(), "bad.lng", "Bad",
            {"1#one", "no hash here", "", "256#too big", "-1#negative", "abc#word", "2#two"}));
        LangModule lang(dir.path());
        const LangModule::PackLoad load = lang.LoadLanguagePack("bad.lng");
        // Good lines around the bad ones still count; nothing lands at 0 or beyond the last index.
        QCOMPARE(lang.LangText(1) + lang.LangText(2), QStringLiteral("onetwo"));
        QVERIFY(lang.LangText(0).isEmpty() && !lang.LangText(255).contains("too big"));
        QCOMPARE(load.firstBadLine, 4); // line 4 of the file is the first bad one
        QVERIFY(load.problem(lang).contains("bad.lng"));
    }

    void notAPack_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("header with blank") << QByteArray(" ---QUVERA LNGPCK---\r\nX\r\n1#a\r\n");
        QTest::newRow("empty file") << QByteArray();
    }
    void notAPack() {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        QFile file(dir.filePath("x.lng"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        LangModule lang(dir.path());
        lang.setText(1, "kept");
        QVERIFY(!lang.LoadLanguagePack("x.lng").isPack());
        QCOMPARE(lang.LangText(1), QStringLiteral("kept"));
        QVERIFY(!lang.LoadLanguagePack("missing.lng").isPack());
    }

    void packFilesSortedAndFiltered() {
        QTemporaryDir dir;
        LangModule lang(dir.path());
        for (const char* name : {"c.LNG", "d.lng.bak", "e.lngx", "lng"})
            QVERIFY(writePack(dir.path(), name, name, {}));
        QVERIFY(!lang.FindLanguagePacks());
        for (const char* name : {"b.lng", "B.lng", "a.lng"})
            QVERIFY(writePack(dir.path(), name, name, {}));
        QCOMPARE(lang.packFiles(), (QStringList{"B.lng", "a.lng", "b.lng"}));
        QVERIFY(lang.FindLanguagePacks());
        // Beyond five packs, the first five in sorted order are offered.
        for (const char* name : {"c.lng", "d.lng", "e.lng"})
            QVERIFY(writePack(dir.path(), name, name, {}));
        QVERIFY(lang.FindLanguagePacks());
        QCOMPARE(lang.packs().size(), 5);
        QCOMPARE(lang.packs().last().fileName, QStringLiteral("d.lng"));
    }
};

QTEST_APPLESS_MAIN(TestLangPacks)
#include "tst_langpacks.moc"
