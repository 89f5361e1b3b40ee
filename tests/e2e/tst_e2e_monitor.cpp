// The live monitor of the real program on the virtual drive streaming at the full
// line rate: the accept alone starts the stream, the labels and the chart show the
// moving car, and a line that closes while streaming leaves the monitor offline.
#include "app/DriveSession.h"
#include "app/MainForm.h"
#include "emulator/DriveEmulator.h"
#include "link/ConnectionForm.h"
#include "monitor/MonitorPage.h"
#include "platform/Canvas.h"
#include "support/DataFiles.h"
#include "support/RecordingPrompts.h"
#include "support/VirtualDrive.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Pixels of the speed trace off the chart's bottom edge, left of the marker strip.
int tracePixels(const Canvas* c) {
    int n = 0;
    const QImage& image = c->image();
    for (int y = 0; y < image.height() - 3; ++y)
        for (int x = 0; x < image.width() * 9 / 10; ++x)
            n += image.pixelColor(x, y) == QColor(255, 0, 0);
    return n;
}

} // namespace

class TestE2eMonitor : public QObject {
    Q_OBJECT

private slots:
    void streamAtLineRate() {
        QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        VirtualDrive drive;
        QVERIFY(drive.start({"--link-folder", runtime.filePath("liftdrive"), "--frame-rate",
                             QString::number(DriveEmulator::LineFrameRate)}));
        RecordingPrompts prompts;
        MainForm w(prompts, binFolder());
        QVERIFY(w.startUp());
        w.resize(1280, 900);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* page = w.findChild<MonitorPage*>();
        auto* speed = w.findChild<QLabel*>("LabelVValue");
        QCOMPARE(speed->text(), "...");

        ConnectionForm& form = w.session().connectionForm();
        auto* combo = form.findChild<QComboBox*>("PortCombo");
        combo->setCurrentIndex(combo->findData(VirtualDrive::Com));
        form.show();
        QTest::mouseClick(form.findChild<QPushButton*>("AcceptCommand"), Qt::LeftButton);
        // The monitor page is in front: accepting the port starts the stream.
        QTRY_VERIFY(drive.log().contains("LOG M: monitor on"));
        QTRY_VERIFY(speed->text() != "...");
        QTRY_VERIFY(page->state().SpeedRaw > 100);
        // The trace scrolls in from the right.
        auto drawn = [page] { return page->picture(page->state().ShowFirstPicture ? 1 : 2); };
        QTRY_VERIFY(tracePixels(drawn()) > 100);
        QVERIFY(page->state().FramesDecoded > 100);

        // The line closes while streaming: one message, no port, no values.
        drive.command("hangup", "HANGUP");
        QTRY_COMPARE(w.session().connectionForm().selectedPort(), 0);
        QTRY_COMPARE(speed->text(), "...");
        QTest::qWait(100);
        QCOMPARE(prompts.texts().size(), 1);
        QVERIFY(prompts.texts().first().contains("COM13"));
    }
};

QTEST_MAIN(TestE2eMonitor)
#include "tst_e2e_monitor.moc"
