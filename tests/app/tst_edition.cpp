// What differs between the two editions, both checked in one build: title, icon,
// logo, About pictures and web site.
#include "app/AboutForm.h"
#include "app/MainForm.h"
#include "support/DataFiles.h"
#include "support/IdlePort.h"
#include "support/RecordingPrompts.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

class TestEdition : public QObject {
    Q_OBJECT

private slots:
    void editions_data() {
        QTest::addColumn<Edition>("edition");
        QTest::addColumn<QString>("title");
        QTest::newRow("Quvera") << Edition::Quvera << "ORVAN-Quvera";
        QTest::newRow("Lomtix") << Edition::Lomtix << "SELVIK-LOMTIX";
    }
    void editions() {
        QFETCH(Edition, edition);
        QFETCH(QString, title);
        RecordingPrompts prompts;
        MainForm w(prompts, binFolder(), std::make_unique<IdlePort>(), edition);
        QVERIFY(w.startUp());
        QCOMPARE(prompts.texts(), QStringList()); // every picture found
        QCOMPARE(w.windowTitle(), title);
        QVERIFY(!w.windowIcon().isNull());
        const QImage logo = w.findChild<QLabel*>("PictureLogo")->pixmap().toImage();
        QCOMPARE(logo, QImage(binFolder() + "/" + Brand::logo(edition)));

        AboutForm about(w.lang(), binFolder(), edition, &w);
        about.load();
        QCOMPARE(about.windowTitle(), title);
        QCOMPARE(about.findChild<QLabel*>("lblTitle")->text(), title);
        QCOMPARE(about.findChild<QLabel*>("lblDescription")->text(),
                 w.lang().LangText(TextId::AboutDescription));
        QVERIFY(!about.findChild<QLabel*>("picIcon")->pixmap().isNull());
        const QImage product = about.findChild<QLabel*>("Image1")->pixmap().toImage();
        QCOMPARE(product, QImage(binFolder() + "/" + Brand::productPicture(edition)));
    }

    // The logo opens the edition's web site, but only with the marker file beside the
    // program; a picture named in another case is still found.
    void webLinkAndPictureCase() {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("icons")));
        for (const QString& name : QDir(binFolder()).entryList({"*.lng", "*.def"}))
            QVERIFY(QFile::copy(binFolder() + "/" + name, dir.filePath(name)));
        for (const QString& picture : Brand::pictures(Edition::Lomtix))
            QVERIFY(QFile::copy(binFolder() + "/" + picture, dir.filePath(picture.toLower())));
        RecordingPrompts prompts;
        MainForm w(prompts, dir.path(), std::make_unique<IdlePort>(), Edition::Lomtix);
        QVERIFY(w.startUp());
        QCOMPARE(prompts.texts(), QStringList());
        auto* logo = w.findChild<QLabel*>("PictureLogo");
        QVERIFY(!logo->pixmap().isNull());
        QTest::mouseClick(logo, Qt::LeftButton);
        QCOMPARE(prompts.urls, QStringList());
        QVERIFY(QFile::copy(binFolder() + "/dummy.htm", dir.filePath("dummy.htm")));
        QTest::mouseClick(logo, Qt::LeftButton);
        QCOMPARE(prompts.urls, QStringList{Brand::webSite(Edition::Lomtix)});
    }

    // Missing pictures: start-up goes on and names them all in one message.
    void missingPicturesOnce() {
        QTemporaryDir dir;
        for (const QString& name : QDir(binFolder()).entryList({"*.lng", "*.def"}))
            QVERIFY(QFile::copy(binFolder() + "/" + name, dir.filePath(name)));
        RecordingPrompts prompts;
        MainForm w(prompts, dir.path(), std::make_unique<IdlePort>(), Edition::Quvera);
        QVERIFY(w.startUp());
        QCOMPARE(prompts.messages.size(), 1);
        for (const QString& picture : Brand::pictures(Edition::Quvera))
            QVERIFY2(prompts.texts().first().contains(QDir::toNativeSeparators(picture)),
                     qPrintable(picture));
    }
};

QTEST_MAIN(TestEdition)
#include "tst_edition.moc"
