// Transfers through the main window over the virtual drive: the review shows exactly
// the values that change, cancelling sends nothing and archives nothing, every set
// read or written lands in the history, a doubtful block of old firmware can be taken,
// and a replug during a read reaches nothing to the replugged drive. Faults of the
// history folder and of the line during a write are met one level down.
#include "params/ParamFiles.h"
#include "params/ParamGrid.h"
#include "platform/NumberText.h"
#include "support/MainWindowFixture.h"
#include "transfer/ArchivedTransfer.h"

#include <QAction>
#include <QFile>
#include <QTabBar>
#include <QtTest>

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

} // namespace

class TestE2eReview : public QObject {
    Q_OBJECT

private:
    struct Rig : DriveWindow {
        bool startOnParameterPage(const QStringList& options = {}) {
            review.otherwise = false;
            if (!start(options))
                return false;
            acceptDrivePort();
            child<QTabBar>("TabStrip1")->setCurrentIndex(1);
            return QTest::qWaitFor([this] { return drive.log().contains("LOG A: monitor off"); });
        }
        QList<HistoryEntry> entries() { return History(history.path()).list(); }
        QString archived(const HistoryEntry& e) { return history.filePath(e.fileName); }
    };

private slots:
    // The drive stores the version word it is sent: the write must send its own.
    void reviewCancelAndWrite() {
        Rig f;
        QVERIFY(f.startOnParameterPage({"--store-firmware-word"}));
        MainForm& w = f.form;
        ParamModule& params = w.params();
        f.child<QAction>("MI_ReadPars")->trigger();
        QVERIFY2(f.prompts.texts().isEmpty(), qPrintable(f.prompts.texts().join('|')));
        QCOMPARE(f.entries().size(), 1);
        const HistoryEntry read = f.entries().first();
        QCOMPARE(read.kind, "read");
        QCOMPARE(read.port, "COM13");
        QCOMPARE(read.firmware, "830");
        const QByteArray driveSet = contents(f.archived(read));
        QCOMPARE(driveSet, ParamFiles(params).fileText());
        const QList<int> wordsBefore = f.drive.words();

        // Three values change: each to its lower limit.
        QList<int> changed;
        for (int k = 0; k < 125 && changed.size() < 3; ++k) {
            const ParamDef& def = params.ParamCatalogue[std::size_t(k)];
            if (def.isPlaceholder() || def.scale == 0.0f || w.paramGrid()->FindGridRow(k) == 127 ||
                params.GetParameter(k) == def.minValue)
                continue;
            QCOMPARE(params.SetParameter(k, def.minValue), ParamModule::Accepted);
            changed << k;
        }
        QCOMPARE(changed.size(), 3);

        f.review.answers = {false};
        f.child<QAction>("MI_WritePars")->trigger();
        QCOMPARE(f.review.shown.size(), 1);
        QList<int> shown;
        for (const ParamDifference& d : f.review.shown.first())
            shown << d.index;
        QCOMPARE(shown, changed);
        QCOMPARE(f.review.shown.first().first().right,
                 NumberText::generalC(params.ParamCatalogue[std::size_t(changed[0])].minValue));
        QCOMPARE(f.drive.words(), wordsBefore);
        QVERIFY(!f.drive.log().join('\n').contains("U:"));

        f.review.answers = {true};
        f.child<QAction>("MI_WritePars")->trigger();
        QVERIFY2(f.prompts.texts().isEmpty(), qPrintable(f.prompts.texts().join('|')));
        QVERIFY(f.drive.log().join('\n').contains("U: block stored"));
        const QList<HistoryEntry> all = f.entries();
        QStringList kinds;
        for (const HistoryEntry& e : all)
            kinds << e.kind;
        QCOMPARE(kinds, (QStringList{"write", "backup", "read"}));
        // The backup is the drive's set before the write, byte for byte; the written
        // set is the program's.
        QCOMPARE(contents(f.archived(all[1])), driveSet);
        QCOMPARE(all[0].differences, 3);
        QCOMPARE(contents(f.archived(all[0])), ParamFiles(params).fileText());
    }

    // Firmware 8.26 sends no checksum: one value outside its limits is listed with
    // its limits, and taking the read keeps the program's value there (with the
    // setter's warning) and the drive's everywhere else.
    void doubtfulOldFirmwareRead() {
        Rig f;
        QVERIFY(f.startOnParameterPage({"--firmware", "826"}));
        f.form.session().setVersionGt826(false);
        ParamModule& params = f.form.params();
        int k = 0;
        while (params.ParamCatalogue[k].isPlaceholder() || params.ParamCatalogue[k].scale != 1 ||
               params.ParamCatalogue[k].minVersion > 0 || params.ParamCatalogue[k].maxValue > 999)
            ++k;
        QVERIFY(k < 62);
        const ParamDef def = params.ParamCatalogue[k];
        const int far = int(def.maxValue) + 1;
        QCOMPARE(f.drive.command(QStringLiteral("set %1 %2").arg(k).arg(far)), "OK");
        const float kept = params.GetParameter(k);

        f.prompts.confirmAnswers = {true};
        f.child<QAction>("MI_ReadPars")->trigger();
        QCOMPARE(f.prompts.questions.size(), 1);
        QVERIFY2(f.prompts.questions.first().contains(
                     QStringLiteral("%1 = %2").arg(def.name.trimmed()).arg(far)),
                 qPrintable(f.prompts.questions.first()));
        QCOMPARE(f.prompts.texts().size(), 1); // the setter's warning
        QCOMPARE(params.GetParameter(k), kept);
        QVERIFY(!f.form.session().flashParamsIdentical());
        QCOMPARE(f.entries().size(), 1);
    }

    // The drive is unplugged and back while a read runs, the event loop running
    // meanwhile as it does under the modal lost-line box: the read ends at the loss
    // and nothing reaches the replugged drive until the port is reopened after it.
    void replugDuringTransfer() {
        Rig f;
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

QTEST_MAIN(TestE2eReview)
#include "tst_e2e_review.moc"
