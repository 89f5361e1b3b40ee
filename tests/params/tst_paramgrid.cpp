// The parameter grid in the real main window on the offscreen platform: rows from
// the catalogue, editing in place, the filter above it, a language switch and the File
// menu.
#include "params/ParEditText.h"
#include "params/ParamGrid.h"
#include "params/ParamGridFilter.h"
#include "platform/NumberText.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QLocale>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Two languages whose definition files place the placeholders differently, so
// rows and catalogue indexes differ, and differently in each language.
void writeFolder(const QString& folder) {
    writePack(folder, "a.lng", "Alpha",
              QStringList{"0#defs-a.txt", "93#Name", "94#Drive", "95#Program", "96#Unit"} +
                  kMessageTexts);
    writePack(folder, "b.lng", "Beta",
              QStringList{"0#defs-b.txt", "93#Ad", "94#Inv", "95#Prog", "96#Birim"} +
                  kMessageTexts);
    writeCodePageFile(
        QDir(folder).filePath("defs-a.txt"),
        completeDefinitions({"P0:0:Speed:V0:m/s:0:10:0:1000:0", "P1:1:*DUMMY*:x::0:1:0:1:0",
                             "P2:2:Accel:PA:m/s2:0:5:0:100:0", "P3:3::empty::0:1:0:1:0",
                             "P4:4:Mode:stpmod::0:1:0:1:0", "P6:6:Jerk:S1:m/s3:0:10:0:100:0"}));
    writeCodePageFile(
        QDir(folder).filePath("defs-b.txt"),
        completeDefinitions({"P0:0:*DUMMY*:V0:m/s:0:10:0:1000:0", "P1:1:Dir:dir::0:1:0:1:0",
                             "P2:2:Ivme:PA:m/s2:0:5:0:100:0", "P3:3:Kalk:AS::0:1:0:1:0",
                             "P4:4:Mod:stpmod::0:1:0:1:0", "P6:6:Egri:S1:m/s3:0:10:0:100:0"}));
}

struct Folder {
    QTemporaryDir dir;
    Folder() { writeFolder(dir.path()); }
};

struct Window : Folder, MainWindowFixture<FocusTakingPrompts> {
    ParamGrid* grid = nullptr;
    ParEditText* editor = nullptr;

    Window() : MainWindowFixture(dir.path()) {}

    bool start() {
        if (!startAndShow() || !QTest::qWaitForWindowActive(&form))
            return false;
        prompts.messages.clear(); // the scratch folder has no pictures: said at start-up
        grid = child<ParamGrid>("ParamGrid");
        editor = child<ParEditText>("ParEditText");
        child<QTabBar>("TabStrip1")->setCurrentIndex(1);
        QApplication::processEvents();
        return grid && editor && grid->isVisible();
    }
    void click(int row, int column) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->cell(row, column)).center());
    }
    void type(const QString& text) {
        editor->selectAll();
        QTest::keyClicks(editor, text);
    }
    int index(int row) const { return grid->cellText(row, ParamGrid::IndexColumn).toInt(); }
    // The drive holds the program's values, as after a read.
    void driveHoldsValues() {
        for (int row = 1; row <= grid->rows(); ++row)
            grid->setDriveText(index(row), grid->cellText(row, ParamGrid::ValueColumn));
    }
    bool warned() { return !form.session().flashParamsIdentical(); }
    QStringList visibleIds() {
        QStringList ids;
        for (int row = 1; row <= grid->rows(); ++row)
            if (!grid->isRowHidden(row - 1))
                ids << form.params().ParamCatalogue[std::size_t(index(row))].id;
        return ids;
    }
};

using Choice = Prompts::Choice;

} // namespace

class TestParamGrid : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void rowsAndLanguageSwitch() {
        Window w;
        QVERIFY(w.start());
        ParamGrid* g = w.grid;
        // Records 1 (a placeholder name) and 3 (no name) get no row.
        QStringList rows;
        for (int row = 1; row <= g->rows(); ++row)
            rows << g->cellText(row, 0) + u'|' + g->cellText(row, 1);
        QCOMPARE(rows,
                 QStringList({"Speed (V0)|?", "Accel (PA)|?", "Mode (stpmod)|?", "Jerk (S1)|?"}));
        QCOMPARE(g->cellText(2, 2), QStringLiteral("0.7")); // the stored value of index 2

        // The second language places its placeholders elsewhere: all rows rebuilt, and
        // the values read from the drive stay beside them (still what the drive holds).
        g->setDriveText(2, "1");
        w.click(2, 2);
        QTRY_VERIFY(w.editor->isVisible());
        w.form.switchLanguage(1);
        QVERIFY(!w.editor->isVisible() && g->editRow() == 0);
        QCOMPARE(g->rows(), 5);
        QCOMPARE(g->cellText(1, 0) + u'|' + g->cellText(1, 1), QStringLiteral("Dir (dir)|?"));
        QCOMPARE(g->cellText(g->FindGridRow(2), 1), QStringLiteral("1"));
    }

    // The filter: by name or identifier, only the rows that differ from the drive's
    // (the speed and the jerk here), both together.
    void filterRows_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("differing");
        QTest::addColumn<QStringList>("visible");
        QTest::newRow("nothing asked") << "" << false << QStringList{"V0", "PA", "stpmod", "S1"};
        QTest::newRow("by name, any case") << "acc" << false << QStringList{"PA"};
        QTest::newRow("by identifier") << "stpmod" << false << QStringList{"stpmod"};
        QTest::newRow("differing only") << "" << true << QStringList{"V0", "S1"};
        QTest::newRow("both, narrowed") << "jer" << true << QStringList{"S1"};
    }
    void filterRows() {
        QFETCH(QString, text);
        QFETCH(bool, differing);
        Window w;
        QVERIFY(w.start());
        w.driveHoldsValues();
        w.grid->setDriveText(0, "9");
        w.grid->setDriveText(6, "9");
        auto* filter = w.child<ParamGridFilter>("ParamGridFilter");
        filter->text()->setText(text);
        filter->differingOnly()->setChecked(differing);
        QTEST(w.visibleIds(), "visible");
        if (text.isEmpty() && differing) { // rows start and stop differing while filtered
            w.form.params().SetParameter(2, 1.5f);
            QCOMPARE(w.visibleIds(), (QStringList{"V0", "PA", "S1"}));
            w.grid->setDriveText(0, w.grid->cellText(1, ParamGrid::ValueColumn));
            QCOMPARE(w.visibleIds(), (QStringList{"PA", "S1"}));
        }
    }

    // The stored 2.5 compares with the drive's text after its first comma became a point.
    void enterStoresAndMovesOn_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("turkish");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("next");
        QTest::addColumn<QString>("drive");
        QTest::addColumn<bool>("differs");
        QTest::newRow("comma, equal") << "2,5" << false << 1 << 2 << "2.5" << false;
        QTest::newRow("point, drive with comma") << "2.5" << false << 1 << 2 << "2,5" << false;
        QTest::newRow("decimal-comma locale, other text")
            << "2,5" << true << 1 << 2 << "2.50" << true;
        QTest::newRow("decimal-comma locale, last row wraps, other value")
            << "2.5" << true << 4 << 1 << "3.5" << true;
    }

    void enterStoresAndMovesOn() {
        QFETCH(QString, typed);
        QFETCH(bool, turkish);
        QFETCH(int, row);
        QFETCH(int, next);
        QFETCH(QString, drive);
        QFETCH(bool, differs);
        if (turkish)
            QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
        Window w;
        QVERIFY(w.start());
        w.grid->setDriveText(w.index(row), drive);
        w.click(row, 2);
        QTRY_VERIFY(w.editor->hasFocus());
        w.type(typed);
        QTest::keyClick(w.editor, Qt::Key_Return);

        QCOMPARE(w.form.params().GetParameter(w.index(row)), 2.5f);
        QCOMPARE(w.grid->cellText(row, 1), NumberText::replacedFirst(drive, u',', u'.'));
        QCOMPARE(w.grid->cellText(row, 2), QStringLiteral("2.5"));
        QCOMPARE(w.grid->differsFromDrive(), differs);
        QCOMPARE(w.grid->editRow(), next);
        QCOMPARE(w.editor->text(), w.grid->cellText(next, 2));
        QCOMPARE(w.editor->selectedText(), w.editor->text());
        QVERIFY(w.editor->hasFocus());
        QCOMPARE(w.prompts.texts(), QStringList());
    }

    void clickRefusedValueThenLeaving() {
        // Only a click in the value column opens the edit box.
        Window w;
        QVERIFY(w.start());
        w.click(3, 1);
        QApplication::processEvents();
        QVERIFY(!w.editor->isVisible() && w.grid->editRow() == 0);
        // The warning box takes the focus as a real one does; that must not commit the
        // refused text a second time.
        w.click(1, 2);
        QTRY_VERIFY(w.editor->hasFocus());
        w.type("20");
        QTest::keyClick(w.editor, Qt::Key_Return);
        QApplication::processEvents();
        QCOMPARE(w.prompts.messages.size(), 1);
        QCOMPARE(w.form.params().GetParameter(0), 1.0f);
        QCOMPARE(w.grid->cellText(1, 2), QStringLiteral("1"));
        QCOMPARE(w.grid->editRow(), 1);
        QCOMPARE(w.editor->text(), QStringLiteral("20"));
        QVERIFY(w.editor->isVisible());

        // Leaving the box commits and hides it.
        QTest::mouseClick(w.editor, Qt::LeftButton);
        QTRY_VERIFY(w.editor->hasFocus());
        w.type("3,25");
        w.click(4, 0);
        QTRY_VERIFY(!w.editor->isVisible());
        QCOMPARE(w.form.params().GetParameter(0), 3.25f);
        QCOMPARE(w.grid->editRow(), 0);
        QCOMPARE(w.prompts.messages.size(), 1);
    }

    void fileMenuWhileEditing() {
        Window w;
        QVERIFY(w.start());
        w.prompts.fileAnswers = {w.dir.filePath("set.quv"), w.dir.filePath("set.quv")};
        w.child<QAction>("MI_SaveFile")->trigger();

        // Loaded under an open edit box: the box shows the loaded value, and leaving it
        // must not bring the typed text back.
        w.form.params().SetParameter(0, 4.0f);
        w.click(1, 2);
        QTRY_VERIFY(w.editor->hasFocus());
        w.type("9");
        w.prompts.saveAnswers = {Choice::Discard};
        auto* open = w.child<QAction>("MI_OpenFile");
        open->trigger();
        QCOMPARE(w.editor->text(), QStringLiteral("1"));
        w.click(3, 0);
        QTRY_VERIFY(!w.editor->isVisible());
        QCOMPARE(w.form.params().GetParameter(0), 1.0f);
        QCOMPARE(w.grid->cellText(1, 2), QStringLiteral("1"));
        QCOMPARE(w.prompts.texts(), QStringList());

        // A name without extension gets ".quv"; an existing file is replaced only when
        // the user agrees.
        auto* save = w.child<QAction>("MI_SaveFile");
        w.prompts.fileAnswers = {w.dir.filePath("set"), w.dir.filePath("set")};
        w.prompts.confirmAnswers = {false, true};
        QFile::remove(w.dir.filePath("set.quv"));
        QVERIFY(QFile(w.dir.filePath("set.quv")).open(QIODevice::WriteOnly));
        save->trigger();
        QCOMPARE(QFileInfo(w.dir.filePath("set.quv")).size(), 0);
        save->trigger();
        QVERIFY(QFileInfo(w.dir.filePath("set.quv")).size() > 0);
        QCOMPARE(w.prompts.questions.filter("set.quv").size(), 2);
    }

    // The warning follows the two columns: never without a drive value, exactly while a
    // row differs from a current one, and not against values from before a lost line.
    void differWarningFollowsColumns() {
        Window w;
        QVERIFY(w.start());
        QVERIFY(!w.warned());
        w.driveHoldsValues();
        QVERIFY(!w.warned());
        w.prompts.fileAnswers = {w.dir.filePath("drive.quv")};
        w.child<QAction>("MI_SaveFile")->trigger();
        w.form.params().SetParameter(0, 4.0f);
        QVERIFY(w.warned() && w.grid->rowDiffers(1));
        // A file equal to the drive's set: nothing differs any more.
        w.prompts.saveAnswers = {Choice::Discard};
        w.prompts.fileAnswers = {w.dir.filePath("drive.quv")};
        w.child<QAction>("MI_OpenFile")->trigger();
        QVERIFY(!w.warned());

        w.form.params().SetParameter(0, 4.0f);
        emit w.form.session().port().lineLostNotice(1, "gone");
        QTableWidgetItem* drive = w.grid->cell(1, ParamGrid::DriveColumn);
        QCOMPARE(drive->foreground().color(), QColor(128, 128, 128));
        QVERIFY(drive->toolTip().startsWith("Not current: the line was lost at "));
        QVERIFY(!w.warned() && !w.grid->rowDiffers(1));
        w.grid->setDriveText(0, "1"); // read again
        QVERIFY(w.warned() && drive->toolTip().isEmpty());
    }

    // Edits neither written nor saved are not replaced or closed away unasked.
    void unsavedEditsAsk_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("edited");
        QTest::addColumn<bool>("driveHolds");
        QTest::addColumn<Choice>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("proceeds");
        for (const char* action : {"read", "open", "close"}) {
            const QString a = QString::fromLatin1(action);
            QTest::addRow("%s, nothing edited", action)
                << a << false << false << Choice::Cancel << false << true;
            QTest::addRow("%s, edit held by the drive", action)
                << a << true << true << Choice::Cancel << false << true;
            QTest::addRow("%s, Cancel", action)
                << a << true << false << Choice::Cancel << true << false;
            QTest::addRow("%s, Discard", action)
                << a << true << false << Choice::Discard << true << true;
            QTest::addRow("%s, Save", action) << a << true << false << Choice::Save << true << true;
        }
    }
    void unsavedEditsAsk() {
        QFETCH(QString, action);
        QFETCH(bool, edited);
        QFETCH(Choice, answer);
        Window w;
        QVERIFY(w.start());
        if (edited)
            w.form.params().SetParameter(0, 4.0f);
        if (QFETCH(bool, driveHolds); driveHolds)
            w.driveHoldsValues();
        w.prompts.saveAnswers = {answer};
        const QString saved = w.dir.filePath("saved.quv");
        w.prompts.fileAnswers = {saved};
        bool proceeded = false;
        if (action == "close") {
            proceeded = w.form.close();
        } else if (action == "read") {
            w.child<QAction>("MI_ReadPars")->trigger();
            proceeded = w.prompts.texts().contains(w.form.lang().LangText(TextId::NoPortSelected));
        } else {
            w.child<QAction>("MI_OpenFile")->trigger();
            proceeded = w.prompts.patterns.size() == (answer == Choice::Save ? 2 : 1);
        }
        QTEST(!w.prompts.questions.isEmpty(), "asked");
        QTEST(proceeded, "proceeds");
        QCOMPARE(QFileInfo::exists(saved),
                 w.prompts.questions.size() == 1 && answer == Choice::Save);
    }
};

QTEST_MAIN(TestParamGrid)
#include "tst_paramgrid.moc"
