// Memory over time: the main window on the virtual drive with monitor frames at the
// full line rate (56000 baud), the monitor page in front, and a write to the drive
// every --write-every seconds (default 60), for --seconds (default 60). Resident
// memory is sampled after a warm-up and at the end; the growth is extrapolated to an
// hour. Run it for an hour (--seconds 3600) to measure rather than extrapolate.
#include "app/DriveSession.h"
#include "app/MainForm.h"
#include "link/ConnectionForm.h"
#include "support/DataFiles.h"
#include "support/RecordingPrompts.h"
#include "support/ScriptedReview.h"
#include "support/VirtualDrive.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <unistd.h>

namespace {

double residentMb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0.0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    double seconds = 60.0;
    double writeEvery = 60.0;
    QString frameRate = QStringLiteral("700");
    QString log;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--seconds")
            seconds = std::max(20.0, args[i + 1].toDouble());
        else if (args[i] == u"--write-every")
            writeEvery = std::max(5.0, args[i + 1].toDouble());
        else if (args[i] == u"--frame-rate")
            frameRate = args[i + 1];
        else if (args[i] == u"--drive-log")
            log = args[i + 1];
    }
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    VirtualDrive drive;
    // 700 frames of 8 bytes a second fill the line.
    QStringList driveArgs{"--serve", "--frame-rate", frameRate, "--link-folder",
                          runtime.filePath("liftdrive")};
    if (!log.isEmpty())
        driveArgs << "--log" << log;
    if (!drive.start(driveArgs)) {
        std::fprintf(stderr, "bench_memory: the virtual drive did not start\n");
        return 1;
    }
    RecordingPrompts prompts;
    MainForm w(prompts, binFolder());
    // Nobody is there to answer the review before each write.
    ScriptedReview review;
    review.otherwise = true;
    w.session().archived().setReview(review);
    QTemporaryDir history;
    w.session().archived().history().setFolder(history.path());
    if (!w.startUp())
        return 1;
    w.show();
    ConnectionForm& form = w.session().connectionForm();
    // The drive's number, not the first free port: the machine may have ports of its own.
    form.portCombo()->setCurrentIndex(form.portCombo()->findData(VirtualDrive::Com));
    form.show();
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("AcceptCommand")),
                      Qt::LeftButton);
    if (form.selectedPort() != VirtualDrive::Com) {
        std::fprintf(stderr, "bench_memory: no port\n");
        return 1;
    }
    auto* tabs = w.findChild<QTabBar*>(QStringLiteral("TabStrip1"));
    auto* write = w.findChild<QAction*>(QStringLiteral("MI_WritePars"));
    tabs->setCurrentIndex(0); // monitor page: frames stream

    const double warmUp = std::min(10.0, seconds / 4.0);
    QElapsedTimer clock;
    clock.start();
    double startMb = 0.0;
    double startAt = 0.0;
    double nextWrite = writeEvery;
    int writes = 0;
    int failedWrites = 0;
    while (clock.elapsed() / 1000.0 < seconds) {
        QTest::qWait(100);
        const double t = clock.elapsed() / 1000.0;
        if (startAt == 0.0 && t >= warmUp) {
            startAt = t;
            startMb = residentMb();
        }
        if (t >= nextWrite) {
            nextWrite += writeEvery;
            tabs->setCurrentIndex(1); // "A": the write needs the line quiet
            write->trigger();
            ++writes;
            if (!prompts.messages.isEmpty()) {
                ++failedWrites;
                std::fprintf(stderr, "bench_memory: write %d: %s\n", writes,
                             qPrintable(prompts.texts().join(u'|')));
            }
            prompts.messages.clear();
            tabs->setCurrentIndex(0);
        }
    }
    const double endMb = residentMb();
    const double hours = (clock.elapsed() / 1000.0 - startAt) / 3600.0;
    std::printf("BENCH rss_start_mb %.1f MB\n", startMb);
    std::printf("BENCH rss_end_mb %.1f MB\n", endMb);
    std::printf("BENCH rss_measured_s %.0f s\n", hours * 3600.0);
    std::printf("BENCH rss_writes %d writes (%d failed)\n", writes, failedWrites);
    std::printf("BENCH rss_growth_mb_per_h %.2f MB/h\n", (endMb - startMb) / hours);
    return failedWrites == 0 ? 0 : 1;
}
