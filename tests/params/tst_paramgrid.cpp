// The parameter grid in the real main window on the offscreen platform: rows from
// the catalogue, editing in place, colours, a language switch and the File menu.
#include "DataFiles.h"
#include "MainForm.h"
#include "NumberText.h"
#include "ParEditText.h"
#include "ParamFiles.h"
#include "ParamGrid.h"
#include "RecordingPrompts.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLocale>
#include <QMenu>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Two languages whose definition files place the placeholders differently, so
// rows and catalogue indexes differ, and differently in each language.
void writeFolder(const QString& folder) {
    const QStringList common = {
        "2#Open", "3#Save",  "53#Replace %1?", "114# too large, max ", "115# too small, min ",
        "116#!",  "118#Warn"};
    writePack(folder, "a.lng", "Alpha",
              QStringList{"0#defs-a.txt", "93#Name", "94#Drive", "95#Program", "96#Unit"} + common);
    writePack(folder, "b.lng", "Beta",
              QStringList{"0#defs-b.txt", "93#Ad", "94#Inv", "95#Prog", "96#Birim"} + common);
    writeCodePageFile(QDir(folder).filePath("defs-a.txt"),
                      {"P0:0:Speed:V0:m/s:0:10:0:1000:0", "P1:1:*DUMMY*:x::0:1:0:1:0",
                       "P2:2:Accel:PA:m/s2:0:5:0:100:0", "P3:3::empty::0:1:0:1:0",
                       "P4:4:Mode:stpmod::0:1:0:1:0", "P6:6:Jerk:S1:m/s3:0:10:0:100:0"});
    writeCodePageFile(QDir(folder).filePath("defs-b.txt"),
                      {"P0:0:*DUMMY*:V0:m/s:0:10:0:1000:0", "P1:1:Dir:dir::0:1:0:1:0",
                       "P2:2:Ivme:PA:m/s2:0:5:0:100:0", "P3:3:Kalk:AS::0:1:0:1:0",
                       "P4:4:Mod:stpmod::0:1:0:1:0", "P6:6:Egri:S1:m/s3:0:10:0:100:0"});
}

// Prompts whose message boxes take the focus away, as a real modal box does.
class FocusTakingPrompts final : public Prompts {
public:
    void message(Icon, const QString&, const QString& text) override {
        texts << text;
        if (QWidget* focused = QApplication::focusWidget())
            focused->clearFocus();
    }
    bool confirm(const QString&, const QString&) override { return false; }
    QString openFileName(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&) override { return {}; }
    QStringList texts;
};

struct Window {
    QTemporaryDir dir;
    MainForm form;
    ParamGrid* grid = nullptr;
    ParEditText* editor = nullptr;

    explicit Window(Prompts& prompts) : form(prompts, (writeFolder(dir.path()), dir.path())) {}

    bool start() {
        if (!form.startUp())
            return false;
        grid = form.findChild<ParamGrid*>("ParamGrid");
        editor = form.findChild<ParEditText*>("ParEditText");
        form.show();
        if (!QTest::qWaitForWindowActive(&form))
            return false;
        form.findChild<QTabBar*>("TabStrip1")->setCurrentIndex(1);
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
    float value(int row) {
        return form.params().GetParameter(grid->cellText(row, ParamGrid::IndexColumn).toInt());
    }
};

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 100, 0);

} // namespace

class TestParamGrid : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void rowsFromCatalogue();
    void clickOpensOnlyValueColumn_data();
    void clickOpensOnlyValueColumn();
    void enterStoresAndMovesOn_data();
    void enterStoresAndMovesOn();
    void enterOnLastRowWraps();
    void refusedValueKeepsEditor();
    void leavingCommitsAndHides();
    void colours_data();
    void colours();
    void languageSwitchRebuildsRows();
    void fileLoadWhileEditing();
    void fileMenu();
};

void TestParamGrid::rowsFromCatalogue() {
    RecordingPrompts prompts;
    Window w(prompts);
    QVERIFY(w.start());
    ParamGrid* g = w.grid;

    QCOMPARE(g->rows(), 4);
    const QStringList names = {"Speed (V0)", "Accel (PA)", "Mode (stpmod)", "Jerk (S1)"};
    const QStringList indexes = {"0", "2", "4", "6"};
    const QStringList units = {"m/s", "m/s2", "", "m/s3"};
    for (int row = 1; row <= 4; ++row) {
        QCOMPARE(g->cellText(row, 0), names[row - 1]);
        QCOMPARE(g->cellText(row, 1), QStringLiteral("?"));
        QCOMPARE(g->cellText(row, 3), units[row - 1]);
        QCOMPARE(g->cellText(row, 4), indexes[row - 1]);
        QCOMPARE(g->cellText(row, 2), NumberText::general(w.value(row)));
        for (int column : {1, 2, 3})
            QCOMPARE(g->cell(row, column)->textAlignment(), int(Qt::AlignCenter));
    }
    QCOMPARE(g->cellText(2, 2), QStringLiteral("0.7")); // the default of index 2
    for (int column = 0; column < 4; ++column) {
        QCOMPARE(g->horizontalHeaderItem(column)->text(),
                 QStringList({"Name", "Drive", "Program", "Unit"})[column]);
        QVERIFY(g->horizontalHeaderItem(column)->font().bold());
    }
    QVERIFY(g->isColumnHidden(ParamGrid::IndexColumn));
    const int width = g->viewport()->width();
    QVERIFY(qAbs(g->columnWidth(0) - width * 4.1 / 9) <= 0.5);
    QVERIFY(qAbs(g->columnWidth(3) - width * 2.3 / 9) <= 0.5);

    // Lookups go through the index column, also from the parameter module.
    QCOMPARE(g->FindGridRow(4), 3);
    QCOMPARE(g->FindGridRow(1), ParamGrid::NoRow);
    QCOMPARE(g->FindGridRow(3), ParamGrid::NoRow);
    QCOMPARE(w.form.params().FindGridRow(6), 4);
    g->cell(4, ParamGrid::IndexColumn)->setText("0");
    QCOMPARE(w.form.params().FindGridRow(0), 1);
    QCOMPARE(w.form.params().FindGridRow(6), ParamGrid::NoRow);
    QCOMPARE(prompts.texts(), QStringList());
}

void TestParamGrid::clickOpensOnlyValueColumn_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("opens");
    QTest::newRow("name") << 0 << false;
    QTest::newRow("drive value") << 1 << false;
    QTest::newRow("program value") << 2 << true;
    QTest::newRow("unit") << 3 << false;
    QTest::newRow("header") << -1 << false;
}

void TestParamGrid::clickOpensOnlyValueColumn() {
    QFETCH(int, column);
    QFETCH(bool, opens);
    RecordingPrompts prompts;
    Window w(prompts);
    QVERIFY(w.start());
    if (column < 0) {
        QHeaderView* header = w.grid->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
    } else {
        w.click(3, column);
    }
    QApplication::processEvents();

    QCOMPARE(w.editor->isVisible(), opens);
    QCOMPARE(w.grid->editRow(), opens ? 3 : 0);
    if (opens) {
        QTRY_VERIFY(w.editor->hasFocus());
        QCOMPARE(w.editor->geometry(), w.grid->visualItemRect(w.grid->cell(3, 2)));
        QCOMPARE(w.editor->text(), w.grid->cellText(3, 2));
    }
}

void TestParamGrid::enterStoresAndMovesOn_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("turkish");
    QTest::newRow("comma") << "2,5" << false;
    QTest::newRow("point") << "2.5" << false;
    QTest::newRow("comma, decimal-comma locale") << "2,5" << true;
    QTest::newRow("point, decimal-comma locale") << "2.5" << true;
    QTest::newRow("trailing text") << "2.5 m/s" << false;
}

void TestParamGrid::enterStoresAndMovesOn() {
    QFETCH(QString, typed);
    QFETCH(bool, turkish);
    if (turkish)
        QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    RecordingPrompts prompts;
    Window w(prompts);
    QVERIFY(w.start());
    w.click(1, 2);
    QTRY_VERIFY(w.editor->hasFocus());
    w.type(typed);
    QTest::keyClick(w.editor, Qt::Key_Return);

    QCOMPARE(w.form.params().GetParameter(0), 2.5f);
    QCOMPARE(w.grid->cellText(1, 2), QStringLiteral("2.5"));
    QCOMPARE(w.grid->editRow(), 2);
    QCOMPARE(w.editor->geometry(), w.grid->visualItemRect(w.grid->cell(2, 2)));
    QCOMPARE(w.editor->text(), w.grid->cellText(2, 2));
    QCOMPARE(w.editor->selectedText(), w.editor->text());
    QVERIFY(w.editor->hasFocus());
    QCOMPARE(prompts.texts(), QStringList());
}

void TestParamGrid::enterOnLastRowWraps() {
    RecordingPrompts prompts;
    Window w(prompts);
    QVERIFY(w.start());
    w.click(4, 2);
    QTRY_VERIFY(w.editor->hasFocus());
    w.type("0.5");
    QTest::keyClick(w.editor, Qt::Key_Enter);
    QCOMPARE(w.form.params().GetParameter(6), 0.5f);
    QCOMPARE(w.grid->editRow(), 1);
    QCOMPARE(w.editor->geometry(), w.grid->visualItemRect(w.grid->cell(1, 2)));
}

void TestParamGrid::refusedValueKeepsEditor() {
    // The warning box takes the focus as a real one does; that must not commit the
    // refused text a second time.
    FocusTakingPrompts prompts;
    Window w(prompts);
    QVERIFY(w.start());
    w.click(1, 2);
    QTRY_VERIFY(w.editor->hasFocus());
    w.type("20");
    QTest::keyClick(w.editor, Qt::Key_Return);
    QApplication::processEvents();

    QCOMPARE(prompts.texts.size(), 1);
    QCOMPARE(w.form.params().GetParameter(0), 1.0f);
    QCOMPARE(w.grid->cellText(1, 2), QStringLiteral("1"));
    QCOMPARE(w.grid->editRow(), 1);
    QCOMPARE(w.editor->text(), QStringLiteral("20"));
    QVERIFY(w.editor->isVisible());
}

void TestParamGrid::leavingCommitsAndHides() {
    RecordingPrompts prompts;
    Window w(prompts);
    QVERIFY(w.start());
    w.click(2, 2);
    QTRY_VERIFY(w.editor->hasFocus());
    w.type("3,25");
    w.click(4, 0); // the grid takes the focus
    QTRY_VERIFY(!w.editor->isVisible());
    QCOMPARE(w.form.params().GetParameter(2), 3.25f);
    QCOMPARE(w.grid->cellText(2, 2), QStringLiteral("3.25"));
    QCOMPARE(w.grid->editRow(), 0);

    // From one value cell straight to another: the first is committed, the second opens.
    w.click(1, 2);
    QTRY_VERIFY(w.editor->hasFocus());
    w.type("4");
    w.click(3, 2);
    QTRY_COMPARE(w.grid->editRow(), 3);
    QCOMPARE(w.form.params().GetParameter(0), 4.0f);
    QTRY_VERIFY(w.editor->hasFocus());
    QCOMPARE(w.editor->text(), w.grid->cellText(3, 2));
}

void TestParamGrid::colours_data() {
    QTest::addColumn<QString>("drive");
    QTest::addColumn<float>("value");
    QTest::addColumn<bool>("differs");
    QTest::newRow("equal") << "2.5" << 2.5f << false;
    QTest::newRow("drive with decimal comma") << "2,5" << 2.5f << false;
    QTest::newRow("different value") << "2.5" << 3.0f << true;
    QTest::newRow("same number, other text") << "2.50" << 2.5f << true;
    QTest::newRow("not read yet") << "?" << 2.5f << true;
    QTest::newRow("drive lacks it") << "N/A" << 2.5f << true;
}

void TestParamGrid::colours() {
    QFETCH(QString, drive);
    QFETCH(float, value);
    QFETCH(bool, differs);
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    RecordingPrompts prompts;
    Window w(prompts);
    QVERIFY(w.start());
    // Start from a row that is green, then store the value under test.
    w.grid->setDriveText(0, "7");
    w.form.params().SetParameter(0, 7.0f);
    QCOMPARE(w.grid->cell(1, 2)->foreground().color(), kGreen);

    w.grid->setDriveText(0, drive);
    w.form.FlashParamsIdentical = true;
    w.form.params().SetParameter(0, value);

    const QTableWidgetItem* wanted = w.grid->cell(1, 2);
    QCOMPARE(w.grid->cell(1, 1)->foreground().color(), kGreen);
    QCOMPARE(w.grid->cellText(1, 1), NumberText::replacedFirst(drive, u',', u'.'));
    QCOMPARE(wanted->foreground().color(), differs ? kRed : kGreen);
    QCOMPARE(wanted->font().bold(), differs);
    QCOMPARE(w.form.FlashParamsIdentical, !differs);
    // Other rows are not touched.
    QCOMPARE(w.grid->cellText(2, 2), QStringLiteral("0.7"));
}

void TestParamGrid::languageSwitchRebuildsRows() {
    RecordingPrompts prompts;
    Window w(prompts);
    QVERIFY(w.start());
    for (int index : {0, 2, 4, 6})
        w.grid->setDriveText(index, "1");
    w.click(2, 2);
    QTRY_VERIFY(w.editor->isVisible());

    w.form.switchLanguage(1);

    ParamGrid* g = w.grid;
    QVERIFY(!w.editor->isVisible());
    QCOMPARE(g->editRow(), 0);
    QCOMPARE(g->horizontalHeaderItem(0)->text(), QStringLiteral("Ad"));
    QCOMPARE(g->horizontalHeaderItem(3)->text(), QStringLiteral("Birim"));
    QVERIFY(g->horizontalHeaderItem(1)->font().bold());
    QCOMPARE(g->rows(), 5);
    for (int row = 1; row <= g->rows(); ++row) {
        QCOMPARE(g->cellText(row, 1), QStringLiteral("?"));
        QCOMPARE(g->cellText(row, 2), NumberText::general(w.value(row)));
        QCOMPARE(g->cell(row, 2)->foreground().color(), kRed);
    }
    QCOMPARE(g->cellText(1, 0), QStringLiteral("Dir (dir)"));
    QCOMPARE(g->cellText(2, 2), QStringLiteral("0.7"));
    QCOMPARE(prompts.texts(), QStringList());
}

void TestParamGrid::fileLoadWhileEditing() {
    RecordingPrompts prompts;
    Window w(prompts);
    QVERIFY(w.start());
    QByteArray text = "4.5\r\n";
    for (int i = 1; i < 128; ++i)
        text += "0.25\r\n";
    QFile file(w.dir.filePath("p.quv"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();

    w.click(1, 2);
    QTRY_VERIFY(w.editor->hasFocus());
    w.type("9");
    prompts.fileAnswers = {file.fileName()};
    w.form.findChild<QAction*>("MI_OpenFile")->trigger();
    QCOMPARE(w.form.params().GetParameter(0), 4.5f);
    QCOMPARE(w.editor->text(), QStringLiteral("4.5"));

    w.click(3, 0); // leaving the box must not bring the typed 9 back
    QTRY_VERIFY(!w.editor->isVisible());
    QCOMPARE(w.form.params().GetParameter(0), 4.5f);
    QCOMPARE(prompts.texts(), QStringList());
}

void TestParamGrid::fileMenu() {
    RecordingPrompts prompts;
    Window w(prompts);
    QVERIFY(w.start());
    const QList<QAction*> entries = w.form.findChild<QMenu*>("MenuFile")->actions();
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries[0]->objectName(), QStringLiteral("MI_OpenFile"));
    QCOMPARE(entries[1]->objectName(), QStringLiteral("MI_SaveFile"));
    QCOMPARE(entries[2]->objectName(), QStringLiteral("MI_Exit"));
    QCOMPARE(entries[0]->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    QCOMPARE(entries[1]->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    QCOMPARE(entries[0]->text(), QStringLiteral("Open"));
    QCOMPARE(entries[1]->text(), QStringLiteral("Save"));

    const QString path = w.dir.filePath("set.quv");
    prompts.fileAnswers = {path};
    entries[1]->trigger();
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(),
             ParamFiles(w.form.params(), w.form.lang(), prompts, QString()).fileText());

    w.form.params().SetParameter(2, 4.0f);
    QCOMPARE(w.grid->cellText(2, 2), QStringLiteral("4"));
    prompts.fileAnswers = {path};
    entries[0]->trigger();
    QCOMPARE(w.form.params().GetParameter(2), 0.7f);
    QCOMPARE(w.grid->cellText(2, 2), QStringLiteral("0.7"));

    prompts.fileAnswers = {w.dir.filePath("missing.quv")};
    entries[0]->trigger();
    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(prompts.messages[0].title, w.form.windowTitle());
}

QTEST_MAIN(TestParamGrid)
#include "tst_paramgrid.moc"
