// The whole main window on the offscreen platform: start-up, pages, language switch.
#include "app/MainForm.h"
#include "lang/LanguageUi.h"
#include "support/DataFiles.h"
#include "support/IdlePort.h"
#include "support/RecordingPrompts.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

class TestMainForm : public QObject {
    Q_OBJECT

private slots:
    void startUpWithShippedFiles();
    void languageSwitch();
    void untranslatedControlKeepsCaption();
    void stopModeAtStartUp();
    void startUpWithoutPack();
    void packThatVanishedIsNotApplied();
};

void TestMainForm::startUpWithShippedFiles() {
    RecordingPrompts prompts;
    MainForm w(prompts, binFolder(), std::make_unique<IdlePort>());
    QVERIFY(w.startUp());
    QCOMPARE(prompts.texts(), QStringList());
    QCOMPARE(w.windowTitle(), QStringLiteral("ORVAN-Quvera"));
    QCOMPARE(w.findChild<QMenu*>("MenuFile")->title(), QStringLiteral("Dosya"));
    QCOMPARE(w.findChild<QAction*>("MI_Exit")->text(), QString::fromUtf8("Çıkış"));
    auto* tabs = w.findChild<QTabBar*>("TabStrip1");
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(0), QString::fromUtf8("Monitör"));
    QVERIFY(w.findChild<QAction*>("lang0")->isChecked());
    QVERIFY(w.findChild<QAction*>("lang1")->isVisible());
    QVERIFY(!w.findChild<QAction*>("lang4")->isVisible());
    QCOMPARE(w.params().driveVersion, 100000.0f);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // Exactly one page is shown: the monitor page first, then the tab's page.
    const char* pages[] = {"FrameMonitor", "FrameMotor", "FrameSeyir"};
    for (int tab : {0, 2, 1, 0}) {
        tabs->setCurrentIndex(tab);
        for (int page = 0; page < 3; ++page)
            QCOMPARE(w.findChild<QFrame*>(pages[page])->isVisible(), page == tab);
    }
}

void TestMainForm::languageSwitch() {
    RecordingPrompts prompts;
    MainForm w(prompts, binFolder(), std::make_unique<IdlePort>());
    QVERIFY(w.startUp());
    const QString turkishName = w.params().ParamCatalogue[16].name;
    const float v3 = w.params().valueById("V3");
    w.findChild<QAction*>("lang1")->trigger();
    QCOMPARE(prompts.texts(), QStringList());
    QVERIFY(w.findChild<QAction*>("lang1")->isChecked());
    QVERIFY(!w.findChild<QAction*>("lang0")->isChecked());
    QCOMPARE(w.findChild<QMenu*>("MenuFile")->title(), w.lang().LangText(TextId::MenuFile));
    QVERIFY(w.findChild<QMenu*>("MenuFile")->title() != QStringLiteral("Dosya"));
    QCOMPARE(w.findChild<QTabBar*>("TabStrip1")->tabText(1),
             w.lang().LangText(TextId::TabMotorParams));
    QVERIFY(w.params().ParamCatalogue[16].name != turkishName);
    QCOMPARE(w.params().valueById("V3"), v3); // values survive a switch
    w.findChild<QAction*>("lang0")->trigger();
    QCOMPARE(w.findChild<QMenu*>("MenuFile")->title(), QStringLiteral("Dosya"));
    QCOMPARE(w.params().ParamCatalogue[16].name, turkishName);
}

void TestMainForm::untranslatedControlKeepsCaption() {
    RecordingPrompts prompts;
    MainForm w(prompts, binFolder(), std::make_unique<IdlePort>());
    QVERIFY(w.startUp());
    auto* menu = w.findChild<QMenu*>("MenuHelp");
    auto* untagged = menu->addAction("fixed");
    auto* zero = menu->addAction("zero");
    LanguageUi::setTag(zero, 0);
    w.findChild<QAction*>("lang1")->trigger();
    QCOMPARE(untagged->text(), QStringLiteral("fixed"));
    QCOMPARE(zero->text(), QStringLiteral("zero"));
}

void TestMainForm::stopModeAtStartUp() {
    RecordingPrompts prompts;
    MainForm w(prompts, binFolder(), std::make_unique<IdlePort>());
    QVERIFY(w.startUp());
    auto* mode = w.findChild<QComboBox*>("ComboStopMode");
    QCOMPARE(mode->currentIndex(), 1);
    QCOMPARE(mode->itemText(1), w.lang().LangText(TextId::StopBySpeed));
    QCOMPARE(w.params().valueById("stpmod"), 1.0f);
    QVERIFY(!w.findChild<QLineEdit*>("TextSlowingDistance")->isEnabled());
    // The first read makes the model runnable: the stop-mode handler then fits the
    // jerks and shows whole centimetres for the computed distances.
    w.session().setReadyToSimulate(true);
    w.findChild<QTabBar*>("TabStrip1")->setCurrentIndex(2);
    const QString slowing = w.findChild<QLineEdit*>("TextSlowingDistance")->text();
    QVERIFY2(!slowing.isEmpty() && !slowing.contains(u'.') && !slowing.contains(u','),
             qPrintable(slowing));
    QVERIFY(!w.findChild<QLineEdit*>("TextSlowingS")->text().isEmpty());
    QCOMPARE(prompts.texts(), QStringList());
}

void TestMainForm::startUpWithoutPack() {
    QTemporaryDir dir;
    RecordingPrompts prompts;
    MainForm w(prompts, dir.path(), std::make_unique<IdlePort>());
    QVERIFY(!w.startUp());
    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(prompts.messages[0].title, QStringLiteral("ORVAN-Quvera"));
    QVERIFY(prompts.messages[0].text.startsWith(QString::fromUtf8("Dil paketi bulunamadı.")));
    QVERIFY(!w.isVisible());
}

void TestMainForm::packThatVanishedIsNotApplied() {
    QTemporaryDir dir;
    QVERIFY(writePack(dir.path(), "a.lng", "A", {"0#d.txt", "1#File A"}));
    QVERIFY(writePack(dir.path(), "b.lng", "B", {"0#d.txt", "1#File B"}));
    QVERIFY(writeCodePageFile(dir.filePath("d.txt"), {"x:16:Speed:V3:m/s:0:10:0:1000:0"}));
    RecordingPrompts prompts;
    MainForm w(prompts, dir.path(), std::make_unique<IdlePort>());
    QVERIFY(w.startUp());
    QCOMPARE(w.findChild<QMenu*>("MenuFile")->title(), QStringLiteral("File A"));
    QVERIFY(QFile::remove(dir.filePath("b.lng")));
    w.findChild<QAction*>("lang1")->trigger();
    QCOMPARE(w.findChild<QMenu*>("MenuFile")->title(), QStringLiteral("File A"));
    QVERIFY(w.findChild<QAction*>("lang0")->isChecked());
    QVERIFY(!w.findChild<QAction*>("lang1")->isChecked());
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
