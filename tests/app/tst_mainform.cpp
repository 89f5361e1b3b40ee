// The whole main window on the offscreen platform: start-up, pages, language switch.
#include "lang/LanguageUi.h"
#include "platform/Canvas.h"
#include "sim/TravelPage.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

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
    void startUpPagesAndStopMode() {
        Window w;
        QVERIFY(w.startAndShow());
        QCOMPARE(w.fileMenu(), QStringLiteral("Dosya"));
        QVERIFY(w.child<QAction>("lang0")->isChecked());
        QVERIFY(w.child<QAction>("lang1")->isVisible() && !w.child<QAction>("lang4")->isVisible());
        auto* mode = w.child<QComboBox>("ComboStopMode");
        QCOMPARE(mode->currentIndex(), 1);
        QVERIFY(!w.child<QLineEdit>("TextSlowingDistance")->isEnabled());
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
        // ... and draws the run: the car standing still at the end of the speed plot.
        const QImage& speed = w.child<Canvas>("vPicture")->image();
        QCOMPARE(speed.pixelColor(speed.width() - 1, speed.height() - 1), QColor(Qt::white));
        QCOMPARE(w.prompts.texts(), QStringList());
    }

    // Right after start-up, and the window's layout rules.
    void startStateAndLayout() {
        Window w;
        QVERIFY(w.startAndShow());
        QVERIFY(!w.child<QAction>("MI_ReadPars")->isEnabled()); // the toolbar shows these
        QVERIFY(!w.child<QAction>("MI_WritePars")->isEnabled());
        QVERIFY(w.child<QFrame>("FrameMonitor")->isVisible());
        auto* travel = w.child<TravelPage>("FrameSeyir");
        QCOMPARE(travel->shownPlotCount(), short(2));
        w.form.resize(700, 500);
        QApplication::processEvents();
        QVERIFY(w.form.width() >= 800 && w.form.height() >= 600);

        w.form.resize(1280, 900);
        w.child<QTabBar>("TabStrip1")->setCurrentIndex(2);
        QApplication::processEvents();
        auto height = [&](const char* plot) { return w.child<Canvas>(plot)->height(); };
        const int before = height("aPicture");
        QTest::mouseClick(w.child<QPushButton>("CommandShowHideV"), Qt::LeftButton);
        QApplication::processEvents();
        QCOMPARE(travel->shownPlotCount(), short(1));
        QVERIFY2(height("aPicture") > before * 3 / 2,
                 qPrintable(QString("%1 -> %2").arg(before).arg(height("aPicture"))));
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
