// The history window: its rows as the folder lists them, an archive loaded into the
// program column or compared with it, and a damaged archive refused as a whole; the
// review before a write finished from the keyboard, and a comparison's wording.
#include "lang/LangModule.h"
#include "params/ParamFiles.h"
#include "support/ScratchParams.h"
#include "transfer/DifferenceView.h"
#include "transfer/HistoryForm.h"

#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

class TestHistoryForm : public QObject {
    Q_OBJECT

private slots:
    void loadCompareAndRefuse() {
        ScratchParams scratch({"P0:0:Speed:V0:m/s:0:10:0:1000:0", "P1:1:Accel:PA:m/s2:0:5:0:100:0",
                               "P2:2:Mode:stpmod::0:1:0:1:0"});
        ParamModule& params = scratch.params;
        QTemporaryDir dir;
        History history(dir.path());
        const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));
        ParamSet archived = params.ParamValues();
        archived[0] = 2.5f;
        archived[1] = 1.25f;
        const QString good = history.archive("read", 2, "830", ParamFiles::textOf(archived), when);
        const QString cut =
            history.archive("write", 2, "830", ParamFiles::textOf(archived), when.addSecs(1));
        QFile file(dir.filePath(cut));
        QVERIFY(file.resize(file.size() / 2));

        HistoryForm form(history, params, scratch.lang, scratch.prompts, "Main");
        form.refresh();
        QCOMPARE(form.entries(), 2);
        QCOMPARE(form.view()->model()->index(0, 1).data().toString(), "write");
        QCOMPARE(form.view()->model()->index(0, 4).data().toString(),
                 scratch.lang.LangText(TextId::HistoryDamaged));
        QCOMPARE(form.view()->model()->index(1, 3).data().toString(), "830");

        const auto differences = form.compareEntry(1);
        QVERIFY(differences);
        QCOMPARE(differences->size(), 2);
        QCOMPARE(differences->at(1).id, "PA");
        QCOMPARE(differences->at(1).right, "1.25");
        QCOMPARE(params.GetParameter(1), 0.0f); // a comparison loads nothing

        QVERIFY(!form.loadEntry(0));
        QCOMPARE(scratch.prompts.messages.size(), 1);
        QVERIFY(scratch.prompts.texts().first().contains(cut));
        QCOMPARE(params.GetParameter(0), 0.0f);
        QVERIFY(form.loadEntry(1));
        QCOMPARE(params.GetParameter(0), 2.5f);
        QCOMPARE(params.GetParameter(1), 1.25f);
        QCOMPARE(form.compareEntry(1)->size(), 0);
    }

    // Enter never writes: Cancel is the default, and the write command does not hold
    // the focus when the dialog opens. Tab leaves the list for the buttons, and the
    // command has its Alt letter.
    void reviewFromTheKeyboard_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("result");
        QTest::newRow("Enter over the list") << 2 << "enter" << int(QDialog::Rejected);
        QTest::newRow("Enter, nothing listed") << 0 << "enter" << int(QDialog::Rejected);
        QTest::newRow("Tab to the command, Space") << 2 << "tab space" << int(QDialog::Accepted);
        QTest::newRow("Alt+W") << 2 << "alt" << int(QDialog::Accepted);
    }
    void reviewFromTheKeyboard() {
        QFETCH(int, rows);
        QFETCH(QString, keys);
        QFETCH(int, result);
        LangModule lang{QString()};
        lang.setText(int(TextId::MenuWriteDrive), "Write to the drive");
        RecordingPrompts prompts;
        QWidget window;
        ReviewDialog review(lang, prompts, &window);
        const QList<ParamDifference> list(rows, ParamDifference{1, "A", "a", "m", "1", "2"});
        QPointer<DifferenceDialog> dialog = review.open(list);
        int finished = -1;
        connect(dialog, &QDialog::finished, [&finished](int r) { finished = r; });
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        for (const QString& key : keys.split(' ')) {
            QWidget* focus = QApplication::focusWidget();
            QVERIFY(focus && dialog->isAncestorOf(focus));
            if (key == "enter")
                QTest::keyClick(focus, Qt::Key_Return);
            else if (key == "tab")
                QTest::keyClick(focus, Qt::Key_Tab);
            else if (key == "space")
                QTest::keyClick(focus, Qt::Key_Space);
            else
                QTest::keyClick(dialog->windowHandle(), Qt::Key_W, Qt::AltModifier);
        }
        QTRY_COMPARE(finished, result); // a mnemonic clicks after a short animation
    }

    // A comparison is worded as one and names both sides, also when nothing differs.
    void comparisonNamesBothSides() {
        LangModule lang{QString()};
        DifferenceDialog dialog(lang);
        dialog.presentComparison({}, "Program", "site.quv");
        const QString same = dialog.findChild<QLabel*>("DifferenceCount")->text();
        QCOMPARE(same, "Program and site.quv hold the same values.");
        QVERIFY(!dialog.table()->isVisible());
        dialog.presentComparison({{1, "A", "a", "m", "1", "2"}}, "Program", "site.quv");
        QCOMPARE(dialog.findChild<QLabel*>("DifferenceCount")->text(),
                 "1 parameters differ between Program and site.quv.");
        QVERIFY(dialog.table()->isVisible());
    }
};

QTEST_MAIN(TestHistoryForm)
#include "tst_historyform.moc"
