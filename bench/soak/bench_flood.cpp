// Memory under a flood: the main window on a virtual drive that sends monitor frames as
// fast as the pseudo-terminal takes them (an adapter that ignores the baud rate), the
// monitor page in front. Resident memory after --seconds (default 60) minus after the
// first sixth of it (10 s by default): a program that keeps what it cannot use grows.
#include "WindowOnDrive.h"

#include <QApplication>
#include <QElapsedTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    double seconds = 60.0;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2)
        if (args[i] == u"--seconds")
            seconds = std::max(12.0, args[i + 1].toDouble());
    WindowOnDrive f;
    if (!f.start("bench_flood", {"--flood"}))
        return 1;
    QElapsedTimer clock;
    clock.start();
    const auto runUntil = [&](double t) {
        while (clock.elapsed() / 1000.0 < t)
            QTest::qWait(100);
    };
    runUntil(seconds / 6.0);
    const double early = residentMb();
    const LinkStats before = f.window->session().protocol().stats();
    runUntil(seconds);
    const double late = residentMb();
    const LinkStats& after = f.window->session().protocol().stats();
    const double span = (seconds - seconds / 6.0);
    std::printf("BENCH flood_rss_growth_mb %.1f MB\n", late - early);
    std::printf("BENCH flood_frames_per_s %.0f frames/s\n",
                double(after.frames - before.frames) / span);
    std::printf("BENCH flood_skipped_mb_per_s %.2f MB/s\n",
                double(after.bytesSkipped - before.bytesSkipped) / span / (1024.0 * 1024.0));
    return 0;
}
