// The main window on the virtual drive: the Connection menu, the port panel of the
// status bar, the page switch's commands, a parameter read from the drive with the
// shipped files, the commands a transfer switches off, and a pulled line.
#include "app/DriveSession.h"
#include "app/MainForm.h"
#include "link/ConnectionForm.h"
#include "params/ParamGrid.h"
#include "support/DataFiles.h"
#include "support/RecordingPrompts.h"
#include "support/VirtualDrive.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestE2eMainForm : public QObject {
    Q_OBJECT

private:
    template <typename T> static T* child(MainForm& w, const char* name) {
        return w.findChild<T*>(QString::fromLatin1(name));
    }
    static QString panel1(MainForm& w) { return child<QLabel>(w, "StatusPanel1")->text(); }

private slots:
    void readFromTheDrive() {
        // The drive in the per-user link folder, where the program looks.
        QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        VirtualDrive drive;
        QVERIFY(drive.start({"--link-folder", runtime.filePath("liftdrive")}));
        RecordingPrompts prompts;
        MainForm w(prompts, binFolder());
        QVERIFY(w.startUp());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(prompts.texts(), QStringList());
        QCOMPARE(panel1(w), w.lang().LangText(108));
        auto* read = child<QAction>(w, "MI_ReadPars");
        QVERIFY(!read->isEnabled() && !child<QAction>(w, "MI_WritePars")->isEnabled());

        ConnectionForm& form = w.session().connectionForm();
        auto* combo = form.findChild<QComboBox*>("PortCombo");
        combo->setCurrentIndex(combo->findData(VirtualDrive::Com));
        form.show();
        QTest::mouseClick(form.findChild<QPushButton*>("AcceptCommand"), Qt::LeftButton);
        QCOMPARE(panel1(w), QStringLiteral("COM13"));

        auto* tabs = child<QTabBar>(w, "TabStrip1");
        tabs->setCurrentIndex(2); // travel page: "A", read and write allowed
        QVERIFY(read->isEnabled());
        tabs->setCurrentIndex(0); // monitor page: "M", read and write not allowed
        QVERIFY(!read->isEnabled());
        QTRY_VERIFY(drive.log().contains("LOG M: monitor on"));
        tabs->setCurrentIndex(1);
        QTRY_VERIFY(drive.log().contains("LOG A: monitor off"));

        // While the transfer runs, every command that reaches the link or the values
        // is off, and a second read is refused rather than interleaved.
        QStringList enabledDuring{"(not checked)"};
        QTimer::singleShot(0, &w, [&] {
            enabledDuring.clear();
            if (!w.session().transfer().busy())
                enabledDuring << "(no transfer)";
            for (const char* name :
                 {"MI_Connection", "MI_ReadPars", "MI_WritePars", "MI_OpenFile", "MI_SaveFile"})
                if (child<QAction>(w, name)->isEnabled())
                    enabledDuring << name;
            if (tabs->isEnabled())
                enabledDuring << "TabStrip1";
            if (child<QMenu>(w, "MenuLanguage")->menuAction()->isEnabled())
                enabledDuring << "MenuLanguage";
            if (w.session().transfer().ReadParameters() != ParamTransfer::Result::Busy)
                enabledDuring << "second read ran";
        });
        read->trigger();
        QCOMPARE(enabledDuring, QStringList());
        QVERIFY2(prompts.texts().isEmpty(), qPrintable(prompts.texts().join('|')));
        for (const char* name : {"MI_Connection", "MI_ReadPars", "MI_WritePars", "MI_OpenFile"})
            QVERIFY2(child<QAction>(w, name)->isEnabled(), name);
        QVERIFY(tabs->isEnabled());

        // The drive's factory set, scaled by the shipped definition file, is what the
        // program starts with.
        QCOMPARE(w.params().driveVersion, 830.0f);
        QVERIFY(w.session().readyToSimulate());
        QVERIFY(w.session().flashParamsIdentical());
        ParamGrid* grid = w.paramGrid();
        const int row = grid->FindGridRow(w.params().FindParamById("V3"));
        QCOMPARE(grid->cellText(row, ParamGrid::DriveColumn),
                 grid->cellText(row, ParamGrid::ValueColumn));
        QVERIFY(grid->cellText(row, ParamGrid::DriveColumn) != "?");

        // The line is pulled: one message naming the port, no port selected, and the
        // program goes on (a read now asks for a port).
        drive.command("hangup", "HANGUP");
        QTRY_COMPARE(panel1(w), w.lang().LangText(108));
        QCOMPARE(w.session().connectionForm().selectedPort(), 0);
        QCOMPARE(prompts.texts().size(), 1);
        // In the pack's words what it means, not the system's "(No such file or directory)".
        QCOMPARE(prompts.texts().first(),
                 w.lang()
                     .LangText(TextId::LineLost)
                     .arg("COM13", w.lang().LangText(TextId::DeviceWentAway)));
        QCOMPARE(prompts.messages.first().title, w.windowTitle());
        read->trigger();
        QCOMPARE(prompts.texts().mid(1), QStringList{w.lang().LangText(106)});
    }
};

QTEST_MAIN(TestE2eMainForm)
#include "tst_e2e_mainform.moc"
