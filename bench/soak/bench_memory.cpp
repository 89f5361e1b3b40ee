// Memory over time: the main window on the virtual drive with monitor frames at the
// full line rate (56000 baud), the monitor page in front, and a write to the drive
// every --write-every seconds (default 60), for --seconds (default 60). Resident
// memory is sampled after a warm-up and at the end; the growth is extrapolated to an
// hour. Run it for an hour (--seconds 3600) to measure rather than extrapolate.
#include "WindowOnDrive.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>

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
    // 700 frames of 8 bytes a second fill the line.
    QStringList driveArgs{"--frame-rate", frameRate};
    if (!log.isEmpty())
        driveArgs << "--log" << log;
    WindowOnDrive f;
    if (!f.start("bench_memory", driveArgs))
        return 1;
    RecordingPrompts& prompts = f.prompts;
    QTabBar* tabs = f.tabs();
    auto* write = f.window->findChild<QAction*>(QStringLiteral("MI_WritePars"));

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
