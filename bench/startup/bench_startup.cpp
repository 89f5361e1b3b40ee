// Start-up time: from process start to the main window shown (offscreen), then quit.
// The parent runs itself as a child several times and prints the median.
#include "MainForm.h"
#include "QtPrompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

static int child(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QtPrompts prompts;
    MainForm window(prompts, qEnvironmentVariable("LIFTDRIVE_BIN_DIR"));
    if (!window.startUp())
        return 1;
    window.show();
    // Quit once the first paint of the window has been processed.
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}

int main(int argc, char* argv[]) {
    if (argc > 1 && QByteArray(argv[1]) == "--child")
        return child(argc, argv);
    QCoreApplication app(argc, argv);
    const int runs = 9;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        process.start(QCoreApplication::applicationFilePath(), {"--child"});
        if (!process.waitForFinished(30000) || process.exitCode() != 0) {
            std::fprintf(stderr, "start-up run failed: %s\n",
                         process.readAllStandardError().constData());
            return 1;
        }
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::printf("BENCH startup_ms %.1f ms\n", times[times.size() / 2]);
    return 0;
}
