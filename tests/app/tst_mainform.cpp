// The whole main window on the offscreen platform: start-up, the keyboard and toolbar,
// and the language switch.
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QMenu>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

namespace {

struct Window : MainWindowFixture<> {
    using MainWindowFixture::MainWindowFixture;
    // Without the mnemonic mark the window adds.
    QString fileMenu() { return child<QMenu>("MenuFile")->title().remove(u'&'); }
};

} // namespace

class TestMainForm : public QObject {
    Q_OBJECT

private slots:
    void startUp() {
        Window w;
        QVERIFY(w.startAndShow());
        QVERIFY(w.child<QAction>("lang0")->isChecked());
        QVERIFY(w.child<QAction>("lang1")->isVisible() && !w.child<QAction>("lang4")->isVisible());
        QCOMPARE(w.prompts.texts(), QStringList());
    }

    // What a technician without a mouse reaches, and what stays off until the page
    // allows it.
    void keyboardAndToolbar() {
        Window w;
        QVERIFY(w.startAndShow() && QTest::qWaitForWindowActive(&w.form));
        auto* tabs = w.child<QTabBar>("TabStrip1");
        auto* toolbar = w.child<QToolBar>("Toolbar1");
        QList<QAction*> buttons = toolbar->actions().mid(0, 7);
        QVERIFY(!buttons[4]->isEnabled() && !buttons[5]->isEnabled());

        // On the monitor page Ctrl+F2 and a separator do nothing.
        QTest::keyClick(&w.form, Qt::Key_F2, Qt::ControlModifier);
        QTest::mouseClick(toolbar->widgetForAction(buttons[2]), Qt::LeftButton);
        QCOMPARE(w.prompts.texts(), QStringList());
        // Ctrl+Tab to the parameter page: now the read runs and asks for a port.
        QTest::keyClick(&w.form, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        QVERIFY(buttons[4]->isEnabled());
        QTest::keyClick(&w.form, Qt::Key_F2, Qt::ControlModifier);
        QCOMPARE(w.prompts.texts(), QStringList{w.form.lang().LangText(TextId::NoPortSelected)});

        tabs->setCurrentIndex(2); // the travel page allows them too
        QVERIFY(buttons[4]->isEnabled());
        // Ctrl+PgUp back to the monitor page switches read and write off again.
        QTest::keyClick(&w.form, Qt::Key_PageUp, Qt::ControlModifier);
        QTest::keyClick(&w.form, Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(!buttons[4]->isEnabled());
    }

    void languageSwitch() {
        Window w;
        QVERIFY(w.form.startUp());
        const QString turkishName = w.form.params().ParamCatalogue[16].name;
        const float v3 = w.form.params().valueById("V3");
        w.child<QAction>("lang1")->trigger();
        QCOMPARE(w.prompts.texts(), QStringList());
        QVERIFY(w.child<QAction>("lang1")->isChecked() && !w.child<QAction>("lang0")->isChecked());
        QCOMPARE(w.fileMenu(), w.form.lang().LangText(TextId::MenuFile));
        QVERIFY(w.form.params().ParamCatalogue[16].name != turkishName);
        QCOMPARE(w.form.params().valueById("V3"), v3); // values survive a switch
        w.child<QAction>("lang0")->trigger();
        QCOMPARE(w.fileMenu(), QStringLiteral("Dosya"));
        QCOMPARE(w.form.params().ParamCatalogue[16].name, turkishName);
    }

    void startUpWithoutPack() {
        QTemporaryDir dir;
        Window w(dir.path());
        QVERIFY(!w.form.startUp());
        QCOMPARE(w.prompts.messages.size(), 1);
        QVERIFY(w.prompts.messages[0].text.startsWith(QString::fromUtf8("Dil paketi bulunamadı.")));
        QVERIFY(!w.form.isVisible());
    }

    // A definition file that leaves an index undefined is refused at start-up and at a
    // switch, naming the file and the index, and a pack that vanished is not applied:
    // the language in use stays. Without a complete catalogue nothing is read or
    // written. An unusable first pack is named; a bad line is reported once, by the load
    // that applies its pack.
    void refusedPacks() {
        QTemporaryDir dir;
        QVERIFY(writeCodePageFile(dir.filePath("a.lng"), {"garbage"}));
        QVERIFY(writePack(dir.path(), "b.lng", "B", {"0#cut.txt"}));
        QVERIFY(writePack(dir.path(), "c.lng", "C", {"0#good.txt", "1#File C", "bad line"}));
        QVERIFY(writePack(dir.path(), "d.lng", "D", {"0#good.txt", "1#File D"}));
        QVERIFY(writeCodePageFile(dir.filePath("cut.txt"), completeDefinitions({}).mid(0, 75)));
        QVERIFY(writeCodePageFile(dir.filePath("good.txt"), completeDefinitions({})));
        Window w(dir.path());
        QVERIFY(w.form.startUp());
        QCOMPARE(w.prompts.texts().filter("a.lng"),
                 QStringList{w.form.lang().LangText(TextId::PackUnusable).arg("a.lng")});
        w.child<QAction>("lang1")->trigger();
        w.child<QAction>("lang2")->trigger();
        QCOMPARE(w.prompts.texts().filter("c.lng").size(), 1);
        w.child<QTabBar>("TabStrip1")->setCurrentIndex(1);
        QVERIFY(w.child<QAction>("MI_ReadPars")->isEnabled());
        QVERIFY(QFile::remove(dir.filePath("d.lng")));
        w.child<QAction>("lang3")->trigger();
        QVERIFY(w.child<QAction>("lang2")->isChecked() && !w.child<QAction>("lang3")->isChecked());
        w.prompts.messages.clear();
        w.child<QAction>("lang1")->trigger(); // refused: C stays, with its catalogue
        QCOMPARE(w.prompts.texts(),
                 QStringList{w.form.lang()
                                 .LangText(TextId::DefinitionIncomplete)
                                 .arg(QDir::toNativeSeparators(dir.filePath("cut.txt")))
                                 .arg(75)});
        QVERIFY(w.child<QAction>("lang2")->isChecked());
        QCOMPARE(w.fileMenu(), QStringLiteral("File C"));
        QVERIFY(w.child<QAction>("MI_ReadPars")->isEnabled());

        // Started with it: nothing to read or write with.
        QVERIFY(QFile::remove(dir.filePath("c.lng")));
        Window alone(dir.path());
        QVERIFY(alone.form.startUp());
        alone.child<QTabBar>("TabStrip1")->setCurrentIndex(1);
        QVERIFY(!alone.child<QAction>("MI_ReadPars")->isEnabled());
        QVERIFY(!alone.child<QAction>("MI_WritePars")->isEnabled());
    }

    // Qt's own buttons and dialogs speak the pack's language.
    void qtTranslations() {
        Window w;
        QVERIFY(w.form.startUp());
        auto cancel = [] {
            return QDialogButtonBox(QDialogButtonBox::Cancel).buttons().first()->text();
        };
        QCOMPARE(cancel(), QString::fromUtf8("İptal"));
        w.child<QAction>("lang1")->trigger();
        QCOMPARE(cancel(), QStringLiteral("Cancel"));
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
