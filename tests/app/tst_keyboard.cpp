// The main window from the keyboard and the toolbar: what a technician without a
// mouse reaches, and what stays off until the page allows it.
#include "app/MainForm.h"
#include "params/ParEditText.h"
#include "params/ParamGrid.h"
#include "support/DataFiles.h"
#include "support/IdlePort.h"
#include "support/RecordingPrompts.h"

#include <QAction>
#include <QTabBar>
#include <QTest>
#include <QToolBar>

class TestKeyboard : public QObject {
    Q_OBJECT

private slots:
    void pagesToolbarAndGrid() {
        RecordingPrompts prompts;
        MainForm w(prompts, binFolder(), std::make_unique<IdlePort>());
        QVERIFY(w.startUp());
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* tabs = w.findChild<QTabBar*>("TabStrip1");
        auto* toolbar = w.findChild<QToolBar*>("Toolbar1");
        QList<QAction*> buttons = toolbar->actions().mid(0, 7);
        QVERIFY(buttons[2]->isSeparator() && buttons[6]->isSeparator());
        QVERIFY(!buttons[4]->isEnabled() && !buttons[5]->isEnabled());
        QCOMPARE(buttons[4]->toolTip(), w.lang().LangText(TextId::MenuReadDrive));

        // On the monitor page Ctrl+F2 and a separator do nothing.
        QTest::keyClick(&w, Qt::Key_F2, Qt::ControlModifier);
        QTest::mouseClick(toolbar->widgetForAction(buttons[2]), Qt::LeftButton);
        QCOMPARE(prompts.texts(), QStringList());
        // Ctrl+Tab to the parameter page: now the read runs and asks for a port.
        QTest::keyClick(&w, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        QVERIFY(buttons[4]->isEnabled());
        QTest::keyClick(&w, Qt::Key_F2, Qt::ControlModifier);
        QCOMPARE(prompts.texts(), QStringList{w.lang().LangText(TextId::NoPortSelected)});

        // The grid: typing starts an edit, Escape drops it, F2 edits the current value.
        ParamGrid* grid = w.paramGrid();
        auto* editor = w.findChild<ParEditText*>("ParEditText");
        grid->setFocus();
        grid->setCurrentCell(0, ParamGrid::ValueColumn);
        const QString before = grid->cellText(1, ParamGrid::ValueColumn);
        QTest::keyClick(grid, Qt::Key_7);
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->text(), QStringLiteral("7"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QVERIFY(!editor->isVisible());
        QCOMPARE(grid->cellText(1, ParamGrid::ValueColumn), before);
        QTest::keyClick(grid, Qt::Key_F2);
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->text(), before);

        // Ctrl+PgUp back to the monitor page switches read and write off again.
        QTest::keyClick(&w, Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(!buttons[4]->isEnabled());
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
