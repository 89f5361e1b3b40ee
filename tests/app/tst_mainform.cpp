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

namespace {

struct Window {
    RecordingPrompts prompts;
    MainForm form;
    explicit Window(const QString& folder = binFolder())
        : form(prompts, folder, std::make_unique<IdlePort>()) {}
    template <typename T> T* child(const char* name) {
        return form.findChild<T*>(QString::fromLatin1(name));
    }
    QString fileMenu() { return child<QMenu>("MenuFile")->title(); }
};

} // namespace

class TestMainForm : public QObject {
    Q_OBJECT

private slots:
    void startUpPagesAndStopMode() {
        Window w;
        QVERIFY(w.form.startUp());
        QCOMPARE(w.fileMenu(), QStringLiteral("Dosya"));
        QVERIFY(w.child<QAction>("lang0")->isChecked());
        QVERIFY(w.child<QAction>("lang1")->isVisible() && !w.child<QAction>("lang4")->isVisible());
        auto* mode = w.child<QComboBox>("ComboStopMode");
        QCOMPARE(mode->currentIndex(), 1);
        QVERIFY(!w.child<QLineEdit>("TextSlowingDistance")->isEnabled());
        w.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.form));
        // Exactly one page is shown: the monitor page first, then the tab's page.
        auto* tabs = w.child<QTabBar>("TabStrip1");
        const char* pages[] = {"FrameMonitor", "FrameMotor", "FrameSeyir"};
        for (int tab : {0, 2, 1, 0}) {
            tabs->setCurrentIndex(tab);
            for (int page = 0; page < 3; ++page)
                QCOMPARE(w.child<QFrame>(pages[page])->isVisible(), page == tab);
        }
        // The first read makes the model runnable: the travel page then runs the
        // stop-mode handler, which fits the jerks.
        w.form.session().setReadyToSimulate(true);
        tabs->setCurrentIndex(2);
        QVERIFY(!w.child<QLineEdit>("TextSlowingS")->text().isEmpty());
        QCOMPARE(w.prompts.texts(), QStringList());
    }

    void languageSwitch() {
        Window w;
        QVERIFY(w.form.startUp());
        const QString turkishName = w.form.params().ParamCatalogue[16].name;
        const float v3 = w.form.params().valueById("V3");
        // Controls without a text index keep their caption.
        auto* untagged = w.child<QMenu>("MenuHelp")->addAction("fixed");
        auto* zero = w.child<QMenu>("MenuHelp")->addAction("zero");
        LanguageUi::setTag(zero, 0);
        w.child<QAction>("lang1")->trigger();
        QCOMPARE(w.prompts.texts(), QStringList());
        QVERIFY(w.child<QAction>("lang1")->isChecked() && !w.child<QAction>("lang0")->isChecked());
        QCOMPARE(w.fileMenu(), w.form.lang().LangText(TextId::MenuFile));
        QVERIFY(w.fileMenu() != QStringLiteral("Dosya"));
        QCOMPARE(w.child<QTabBar>("TabStrip1")->tabText(1),
                 w.form.lang().LangText(TextId::TabMotorParams));
        QCOMPARE(untagged->text() + zero->text(), QStringLiteral("fixedzero"));
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
        QCOMPARE(w.prompts.messages[0].title, QStringLiteral("ORVAN-Quvera"));
        QVERIFY(w.prompts.messages[0].text.startsWith(QString::fromUtf8("Dil paketi bulunamadı.")));
        QVERIFY(!w.form.isVisible());
    }

    void packThatVanishedIsNotApplied() {
        QTemporaryDir dir;
        QVERIFY(writePack(dir.path(), "a.lng", "A", {"0#d.txt", "1#File A", "bad line"}));
        QVERIFY(writePack(dir.path(), "b.lng", "B", {"0#d.txt", "1#File B"}));
        QVERIFY(writeCodePageFile(dir.filePath("d.txt"), {"x:16:Speed:V3:m/s:0:10:0:1000:0"}));
        Window w(dir.path());
        QVERIFY(w.form.startUp());
        QCOMPARE(w.prompts.texts().filter("a.lng").size(), 1); // reported once, not per load
        QVERIFY(QFile::remove(dir.filePath("b.lng")));
        w.child<QAction>("lang1")->trigger();
        QCOMPARE(w.fileMenu(), QStringLiteral("File A"));
        QVERIFY(w.child<QAction>("lang0")->isChecked() && !w.child<QAction>("lang1")->isChecked());
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
