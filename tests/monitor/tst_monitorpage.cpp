// The monitor page on an in-memory line: labels, the strip chart's pixels, the timers
// and the slider, the stream request after a port is accepted, the recording
// indicator and the export's messages.
#include "emulator/DriveEmulator.h"
#include "lang/LangModule.h"
#include "link/ProtocolModule.h"
#include "monitor/MonitorPage.h"
#include "params/ParamModule.h"
#include "platform/Canvas.h"
#include "support/FakeLinkPort.h"
#include "support/MonitorFrames.h"
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

struct Fixture {
    ManualClock clock;
    FakeLinkPort port{clock};
    ProtocolModule protocol{port, clock, [this] { clock.advance(0.001); },
                            [this](double s) { clock.advance(s); }};
    RecordingPrompts prompts;
    LangModule lang{QString()};
    ParamModule params{lang, prompts};
    QTemporaryDir folder;
    MonitorPage page{protocol, params, prompts, folder.path()};

    Fixture() {
        port.freePorts = {1};
        port.open(1);
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
    // Rows of column x of a picture that hold `colour`.
    static QList<int> rowsOf(const Canvas* c, int x, const QColor& colour) {
        QList<int> rows;
        for (int y = 0; y < c->image().height(); ++y)
            if (c->pixelColor(x, y) == colour)
                rows << y;
        return rows;
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
        QCOMPARE(f.labels(), "... ... ..."); // no port in use
        QCOMPARE(f.port.rx.size(), 8);       // and the line is left alone
        // The notice is printed once, in red, on both pictures.
        for (int n : {1, 2}) {
            const Canvas* c = f.page.picture(n);
            bool red = false;
            for (int x = 0; x < c->image().width() && !red; ++x)
                red = !Fixture::rowsOf(c, x, QColor(255, 0, 0)).isEmpty();
            QVERIFY2(red, qPrintable(QString::number(n)));
        }
        QVERIFY(f.page.state().OfflineNoticeShown);

        f.page.setSelectedPort(1);
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
        QVERIFY(timer->isActive() && timer->isSingleShot());
        QCOMPARE(timer->interval(), MonitorPage::TickMs);
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
        const int h = drawn->image().height();
        const int x = drawn->image().width() / 2;
        auto rowOf = [h](double value) { return int((1050.0 - value) / 1050.0 * h); };
        auto near = [](const QList<int>& rows, int row) {
            return !rows.isEmpty() && std::abs(rows.first() - row) <= 2;
        };
        QVERIFY(near(Fixture::rowsOf(drawn, x, Qt::red), rowOf(500)));
        QVERIFY(near(Fixture::rowsOf(drawn, x, Qt::blue), rowOf(300))); // 5 x current
        QList<int> green;                                               // a point every few columns
        for (int dx = 0; dx < 8; ++dx)
            green += Fixture::rowsOf(drawn, x + dx, Qt::green);
        QVERIFY(near(green, rowOf(200)));
        QCOMPARE(drawn->pixelColor(x, 2), QColor(70, 70, 70));
        // The strip at the right: black behind the level markers.
        QCOMPARE(drawn->pixelColor(drawn->image().width() - 20, h - 1), QColor(Qt::black));

        f.page.findChild<QCheckBox*>("ShowVCheck")->setChecked(false);
        f.tick(monitorFrame(500, 200, 60));
        f.tick(monitorFrame(500, 200, 60));
        QVERIFY(Fixture::rowsOf(drawn, x, Qt::red).isEmpty());
    }

    void streamAfterAccept() {
        Fixture f;
        f.page.show();
        f.page.setSelectedPort(1);
        f.page.portAccepted();
        QCOMPARE(f.port.tx, QByteArray("M"));
        f.page.hide(); // another page in front
        f.page.portAccepted();
        QCOMPARE(f.port.tx, QByteArray("M"));
    }

    void oneSecondTick() {
        Fixture f;
        QList<bool> warnings;
        connect(&f.page, &MonitorPage::differWarningShown, this,
                [&](bool shown) { warnings << shown; });
        auto* dot = f.page.findChild<QWidget*>("ShapeR");
        auto* pause = f.page.findChild<QWidget*>("ShapeP1");
        f.page.CommandRecordData_Click();
        QList<bool> dots;
        for (int k = 0; k < 4; ++k) {
            f.page.Timer_1Sec_Timer();
            dots << !dot->isHidden();
            QVERIFY(pause->isHidden());
        }
        QCOMPARE(dots, QList<bool>({true, false, true, false}));
        f.page.CommandPauseRecData_Click();
        f.page.setValuesIdentical(true);
        f.page.Timer_1Sec_Timer();
        f.page.Timer_1Sec_Timer();
        QVERIFY(dot->isHidden() && !pause->isHidden());
        QCOMPARE(warnings, QList<bool>({true, false, true, false, false, false}));
    }

    void retitleNamesWhatEachHolds_data() {
        QTest::addColumn<QString>("pack");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("header");
        QTest::newRow("Turkish") << "Turkce.lng"
                                 << QStringList{"HIZ  (m/s)", "\u0130VME  (m/s\u00b2)",
                                                "MOTOR AKIMI  (amper)"}
                                 << "T; H\u0131z (mm/s); \u0130vme (mm/s\u00b2); Motor "
                                    "ak\u0131m\u0131 (0,1 A); ";
        QTest::newRow("English") << "UK-English.lng"
                                 << QStringList{"SPEED  (m/s)", "ACCELERATION  (m/s\u00b2)",
                                                "MOTOR CURRENT  (A)"}
                                 << "T; Speed (mm/s); Acceleration (mm/s\u00b2); Motor current "
                                    "(0.1 A); ";
    }
    void retitleNamesWhatEachHolds() {
        // The scale entries select speed, acceleration, current in this order, and the
        // export's columns hold mm/s, mm/s² and 0.1 A: each title must say so.
        QFETCH(QString, pack);
        Fixture f;
        LangModule lang(qEnvironmentVariable("LIFTDRIVE_BIN_DIR"));
        QVERIFY(lang.LoadLanguagePack(pack).isPack());
        auto* combo = f.page.findChild<QComboBox*>("ComboScaleSelect");
        combo->setCurrentIndex(2);
        f.page.retitle(lang);
        QStringList entries;
        for (int k = 0; k < combo->count(); ++k)
            entries << combo->itemText(k);
        QTEST(entries, "entries");
        QCOMPARE(combo->currentIndex(), 2);
        QCOMPARE(f.page.findChild<QGroupBox*>("FrameVValue")->title(), entries[0]);
        f.page.CommandRecDataToClipboard_Click();
        QFile file(f.folder.filePath("csv/log.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTEST(QString::fromUtf8(file.readLine()).remove(QChar(0xFEFF)).trimmed() + u' ', "header");
    }

    void exportMessages() {
        Fixture f;
        f.page.setSelectedPort(1);
        f.page.CommandRecordData_Click();
        f.tick(monitorFrame(1000, 250, 132));
        QFile blocker(f.folder.filePath("csv"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        f.page.CommandRecDataToClipboard_Click();
        const QString path = QDir::toNativeSeparators(f.folder.filePath("csv/log.csv"));
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].icon, Prompts::Icon::Critical);
        QVERIFY(
            f.prompts.messages[0].text.startsWith(path + " dosyas\u0131na yaz\u0131lamad\u0131."));
        QCOMPARE(f.page.record().sampleCount(), 1); // kept for another try

        QVERIFY(blocker.remove());
        f.page.CommandRecDataToClipboard_Click();
        QCOMPARE(f.prompts.messages.size(), 2);
        QCOMPARE(f.prompts.messages[1].icon, Prompts::Icon::Information);
        QCOMPARE(f.prompts.messages[1].text,
                 "Kay\u0131t edilen veriler " + path +
                     " dosyas\u0131na CSV format\u0131nda yaz\u0131ld\u0131. Bu dosyay\u0131 MS "
                     "Excel veya benzeri bir programla a\u00e7abilirsiniz.");
        QCOMPARE(f.page.record().sampleCount(), 0);
        QVERIFY(QFile::exists(path));
    }
};

QTEST_MAIN(TestMonitorPage)
#include "tst_monitorpage.moc"
