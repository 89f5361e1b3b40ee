// The main window on the virtual drive streaming at the full line rate: the port
// panel of the status bar, the live monitor that the accept alone starts (its drawing
// is the monitor test's), the page switch's commands, a parameter read from the drive
// with the shipped files, the commands a transfer switches off, a pulled line and the
// drive's return; a replug during a read that reaches nothing to the replugged drive.
// Reviews, the history, doubtful blocks of old firmware, the link log's lines and the
// faults of a write are met one level down.
#include "emulator/DriveEmulator.h"
#include "monitor/MonitorPage.h"
#include "params/ParamGrid.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTabBar>
#include <QTimer>
#include <QtTest>

class TestE2eMainForm : public QObject {
    Q_OBJECT

private slots:
    void readFromTheDrive() {
        DriveWindow f;
        QVERIFY(f.start({"--frame-rate", QString::number(DriveEmulator::LineFrameRate)}));
        MainForm& w = f.form;
        RecordingPrompts& prompts = f.prompts;
        auto* panel1 = f.child<QLabel>("StatusPanel1");
        auto* read = f.child<QAction>("MI_ReadPars");
        auto* page = w.findChild<MonitorPage*>();
        auto* speed = f.child<QLabel>("LabelVValue");

        // The monitor page is in front: accepting the port starts the stream.
        f.acceptDrivePort();
        QCOMPARE(panel1->text(), QStringLiteral("COM13"));
        QTRY_VERIFY(f.drive.log().contains("LOG M: monitor on"));
        QTRY_VERIFY(page->state().SpeedRaw > 100);
        QVERIFY(speed->text() != "...");

        // Which page allows a read is the main window's test; the drive sees the stop.
        auto* tabs = f.child<QTabBar>("TabStrip1");
        tabs->setCurrentIndex(1);
        QTRY_VERIFY(f.drive.log().contains("LOG A: monitor off"));

        // While the transfer runs, every command that reaches the link or the values
        // is off (the transfer's own refusal of a second one is met one level down).
        QStringList enabledDuring{"(not checked)"};
        QTimer::singleShot(0, &w, [&] {
            enabledDuring.clear();
            if (!w.session().transfer().busy())
                enabledDuring << "(no transfer)";
            for (const char* name :
                 {"MI_Connection", "MI_ReadPars", "MI_WritePars", "MI_OpenFile", "MI_SaveFile"})
                if (f.child<QAction>(name)->isEnabled())
                    enabledDuring << name;
            if (tabs->isEnabled())
                enabledDuring << "TabStrip1";
            if (f.child<QMenu>("MenuLanguage")->menuAction()->isEnabled())
                enabledDuring << "MenuLanguage";
        });
        read->trigger();
        QCOMPARE(enabledDuring, QStringList());
        QVERIFY2(prompts.texts().isEmpty(), qPrintable(prompts.texts().join('|')));
        for (const char* name : {"MI_Connection", "MI_ReadPars", "MI_WritePars", "MI_OpenFile"})
            QVERIFY2(f.child<QAction>(name)->isEnabled(), name);
        QVERIFY(tabs->isEnabled());

        // The drive's factory set, scaled by the shipped definition file, is what the
        // program starts with.
        QCOMPARE(w.params().driveVersion(), 830.0f);
        QVERIFY(w.session().flashParamsIdentical());
        ParamGrid* grid = w.paramGrid();
        const int row = grid->FindGridRow(w.params().FindParamById("V3"));
        QCOMPARE(grid->cellText(row, ParamGrid::DriveColumn),
                 grid->cellText(row, ParamGrid::ValueColumn));
        QVERIFY(grid->cellText(row, ParamGrid::DriveColumn) != "?");

        // The line is pulled while streaming: one message naming the port, no port
        // selected, no values, and the program goes on (a read now asks for a port).
        tabs->setCurrentIndex(0);
        QTRY_COMPARE(f.drive.log().count("LOG M: monitor on"), 2);
        f.drive.command("hangup", "HANGUP");
        QTRY_COMPARE(panel1->text(), w.lang().LangText(TextId::LineLostWaiting).arg("COM13"));
        QCOMPARE(w.session().connectionForm().selectedPort(), 0);
        QTRY_COMPARE(speed->text(), "...");
        QTest::qWait(100);
        QCOMPARE(prompts.texts().size(), 1);
        // In the pack's words what it means, not the system's "(No such file or directory)".
        QCOMPARE(prompts.texts().first(),
                 w.lang()
                     .LangText(TextId::LineLost)
                     .arg("COM13", w.lang().LangText(TextId::DeviceWentAway)));
        tabs->setCurrentIndex(1);
        read->trigger();
        QCOMPARE(prompts.texts().mid(1), QStringList{w.lang().LangText(106)});

        // The drive comes back under the same link with the monitor page in front: the
        // port is reopened and the stream resumes; no transfer starts by itself.
        tabs->setCurrentIndex(0);
        QVERIFY(f.drive.waitForExit());
        const int streams = f.drive.log().count("LOG M: monitor on");
        const QRegularExpression transfer("^LOG [DU]:");
        const auto transfers = f.drive.log().filter(transfer).size();
        QVERIFY(f.drive.start({"--link-folder", f.runtime.filePath("liftdrive"), "--frame-rate",
                               QString::number(DriveEmulator::LineFrameRate)}));
        QTRY_COMPARE(panel1->text(), w.lang().LangText(TextId::LineReconnected).arg("COM13"));
        QCOMPARE(w.session().connectionForm().selectedPort(), 13);
        QTRY_COMPARE(f.drive.log().count("LOG M: monitor on"), streams + 1);
        QTRY_VERIFY(speed->text() != "...");
        QCOMPARE(f.drive.log().filter(transfer).size(), transfers);
        QCOMPARE(prompts.texts().size(), 2);
    }

    // The drive is unplugged and back while a read runs, the event loop running
    // meanwhile as it does under the modal lost-line box: the read ends at the loss
    // and nothing reaches the replugged drive until the port is reopened after it.
    void replugDuringTransfer() {
        DriveWindow f;
        QVERIFY(f.startOnParameterPage({"--replug"}));
        bool unplugged = false;
        QObject::connect(&f.form.session(), &DriveSession::transferCommandsEnabled, &f.form,
                         [&](bool on) {
                             if (on || std::exchange(unplugged, true))
                                 return;
                             f.drive.command("hangup", "REPLUGGED");
                             QTest::qWait(1000);
                         });
        f.child<QAction>("MI_ReadPars")->trigger();
        QTRY_COMPARE(f.prompts.texts().size(), 1);
        QVERIFY(f.entries().isEmpty());
        QTRY_COMPARE(f.form.session().connectionForm().selectedPort(), 13);
        const QStringList log = f.drive.log();
        const qsizetype replugged = log.indexOf(QRegularExpression("REPLUGGED .*"));
        QVERIFY(replugged > 0);
        QCOMPARE(log.mid(replugged).filter(QRegularExpression("^LOG [DU]")), QStringList());
    }
};

QTEST_MAIN(TestE2eMainForm)
#include "tst_e2e_mainform.moc"
