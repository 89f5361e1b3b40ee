// The monitor page on an in-memory line: labels, the stream request after a port is
// accepted, the strip chart's pixels, the timers and the slider, the recording
// indicator, the titles and the export's messages.
#include "emulator/DriveEmulator.h"
#include "lang/LangModule.h"
#include "monitor/MonitorPage.h"
#include "params/ParamModule.h"
#include "platform/Canvas.h"
#include "support/MonitorFrames.h"
#include "support/Pixels.h"
#include "support/RecordingPrompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

struct Fixture : MonitorLine {
    RecordingPrompts prompts;
    LangModule lang{QString()};
    ParamModule params{lang, prompts};
    QTemporaryDir folder;
    MonitorPage page{protocol, params, prompts, folder.path()};

    Fixture() {
        params.ParamValues[16] = 1.0f; // V3, m/s
        params.ParamCatalogue[16].scale = 1000.0f;
        params.ParamValues[20] = 13.0f; // rated current, A
        params.ParamCatalogue[20].scale = 10.0f;
        page.resize(1000, 700);
        page.setFullScale(1050.0f);
    }
    QString labels() {
        QStringList out;
        for (const char* name : {"LabelVValue", "LabelAValue", "LabelIValue"})
            out << page.findChild<QLabel*>(name)->text();
        return out.join(u' ');
    }
    void tick(const QByteArray& bytes) {
        port.rx = bytes;
        clock.advance(0.02);
        page.Timer1_Timer();
    }
};

} // namespace

class TestMonitorPage : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void labelsOfflineAndLineLost() {
        Fixture f;
        f.page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.page));
        f.tick(monitorFrame(300, 100, 10));
        QCOMPARE(f.labels(), "... ... ..."); // no port in use; the notice, in red on both
        for (int n : {1, 2})
            QVERIFY(pixelsOf(f.page.picture(n)->image(), Qt::red) > 0);

        // A port accepted while the page is in front starts the stream; behind another
        // page it does not.
        f.page.setSelectedPort(1);
        f.page.portAccepted();
        f.page.hide();
        f.page.portAccepted();
        QCOMPARE(f.port.tx, QByteArray("M"));
        f.tick(monitorFrame(300, 100, 10));
        QCOMPARE(f.labels(), "0.30 0.10 1.00");
        f.tick(monitorFrame(300, 100, 10).left(7));
        QCOMPARE(f.labels(), "... ... ...");
        f.tick(monitorFrame(300, 100, 10));
        // The line is lost: the last values do not linger.
        f.page.setSelectedPort(0);
        QCOMPARE(f.labels(), "... ... ...");
    }

    void sliderStopsAndRestarts() {
        Fixture f;
        auto* timer = f.page.findChild<QTimer*>("Timer1");
        auto* slider = f.page.findChild<QSlider*>("SampleRateSlider");
        QVERIFY(!timer->isActive()); // until start-up enables it
        f.page.start();
        QVERIFY(timer->isActive());
        slider->setValue(200);
        f.page.Timer1_Timer();
        QVERIFY(!timer->isActive());
        slider->setValue(150);
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 150);
        slider->setValue(40); // a running timer takes it at the end of its tick
        QCOMPARE(timer->interval(), 150);
        f.page.Timer1_Timer();
        QCOMPARE(timer->interval(), 40);
    }

    void chartDrawsTheTraces() {
        Fixture f;
        f.page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.page));
        f.page.setSelectedPort(1);
        for (int k = 0; k < 250; ++k)
            f.tick(monitorFrame(500, 200, 60)); // 0.5 m/s, 0.2 m/s², 6 A
        // The tick drew into the hidden picture; the one in view holds the last tick's.
        const bool first = f.page.state().ShowFirstPicture;
        const Canvas* drawn = f.page.picture(first ? 1 : 2);
        QVERIFY(!drawn->isVisible());
        QVERIFY(f.page.picture(first ? 2 : 1)->isVisible());
        const QImage& image = drawn->image();
        const int x = image.width() / 2;
        // Within two rows of where `value` lies, in column x (`wide`: the next 8).
        auto near = [&](double value, int wide = 1) {
            return QRect(x, int((1050.0 - value) / 1050.0 * image.height()) - 2, wide, 5);
        };
        QVERIFY(pixelsOf(image, Qt::red, near(500)) > 0);
        QVERIFY(pixelsOf(image, Qt::blue, near(300)) > 0);     // 5 x current
        QVERIFY(pixelsOf(image, Qt::green, near(200, 8)) > 0); // a point every few columns
        f.page.findChild<QCheckBox*>("ShowVCheck")->setChecked(false);
        f.tick(monitorFrame(500, 200, 60));
        f.tick(monitorFrame(500, 200, 60));
        QCOMPARE(pixelsOf(image, Qt::red, QRect(x, 0, 1, image.height())), 0);
    }

    void oneSecondTick() {
        // Recording, the dot blinks; paused, the pause sign stays. The warning that the
        // drive's values differ blinks until they are identical.
        Fixture f;
        QList<bool> warnings;
        connect(&f.page, &MonitorPage::differWarningShown, this, [&](bool on) { warnings << on; });
        auto* dot = f.page.findChild<QWidget*>("ShapeR");
        auto* pause = f.page.findChild<QWidget*>("ShapeP1");
        QList<bool> shown; // the dot and the pause sign after each second
        f.page.CommandRecordData_Click();
        for (int k = 0; k < 6; ++k) {
            if (k == 4) {
                f.page.CommandPauseRecData_Click();
                f.page.setValuesIdentical(true);
            }
            f.page.Timer_1Sec_Timer();
            shown << !dot->isHidden() << !pause->isHidden();
        }
        QCOMPARE(shown, QList<bool>({1, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1}));
        QCOMPARE(warnings, QList<bool>({true, false, true, false, false, false}));
    }

    void retitleThenExport() {
        // The scale entries select speed, acceleration, current in this order, and the
        // export's columns hold mm/s, mm/s² and 0.1 A: each title must say so.
        Fixture f;
        LangModule lang(qEnvironmentVariable("LIFTDRIVE_BIN_DIR"));
        QVERIFY(lang.LoadLanguagePack("Turkce.lng").isPack());
        auto* combo = f.page.findChild<QComboBox*>("ComboScaleSelect");
        combo->setCurrentIndex(2);
        f.page.retitle(lang);
        QStringList entries;
        for (int k = 0; k < combo->count(); ++k)
            entries << combo->itemText(k);
        QCOMPARE(entries,
                 QStringList({"HIZ  (m/s)", "\u0130VME  (m/s\u00b2)", "MOTOR AKIMI  (amper)"}));
        QCOMPARE(combo->currentIndex(), 2);
        QCOMPARE(f.page.findChild<QGroupBox*>("FrameVValue")->title(), entries[0]);

        // An export that cannot be written says so and keeps the data for another try.
        f.page.setSelectedPort(1);
        f.page.CommandRecordData_Click();
        f.tick(monitorFrame(1000, 250, 132));
        QFile file(f.folder.filePath("csv"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        f.page.CommandRecDataToClipboard_Click();
        const QString path = QDir::toNativeSeparators(f.folder.filePath("csv/log.csv"));
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].icon, Prompts::Icon::Critical);
        QVERIFY(
            f.prompts.messages[0].text.startsWith(path + " dosyas\u0131na yaz\u0131lamad\u0131."));
        QCOMPARE(f.page.record().sampleCount(), 1);

        QVERIFY(file.remove());
        f.page.CommandRecDataToClipboard_Click();
        QCOMPARE(f.prompts.messages.size(), 2);
        QCOMPARE(f.prompts.messages[1].icon, Prompts::Icon::Information);
        QVERIFY(f.prompts.messages[1].text.contains(path));
        QCOMPARE(f.page.record().sampleCount(), 0);
        file.setFileName(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readLine()).remove(QChar(0xFEFF)).trimmed(),
                 "T; H\u0131z (mm/s); \u0130vme (mm/s\u00b2); Motor ak\u0131m\u0131 (0,1 A);");
    }
};

QTEST_MAIN(TestMonitorPage)
#include "tst_monitorpage.moc"
