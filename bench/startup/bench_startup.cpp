// Start-up time: from process start to the main window shown (offscreen), then quit.
// The parent runs itself as a child several times and prints the median. A virtual
// drive on COM13 stands in for the drive, as with scripts/run, so the port scan of
// start-up finds a port on any machine.
#include "app/MainForm.h"
#include "platform/QtPrompts.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
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
    QTemporaryDir runtime;
    QProcess drive;
    drive.start(QDir(qEnvironmentVariable("LIFTDRIVE_BIN_DIR")).filePath("liftdrive-emulator"),
                {"--serve", "--link-folder", runtime.filePath("liftdrive")});
    while (drive.waitForReadyRead(5000) && !drive.readAllStandardOutput().contains("READY")) {
    }
    if (drive.state() != QProcess::Running) {
        std::fprintf(stderr, "the virtual drive did not start\n");
        return 1;
    }
    const int runs = 9;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", runtime.path());
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
    drive.terminate();
    drive.waitForFinished(3000);
    std::sort(times.begin(), times.end());
    std::printf("BENCH startup_ms %.1f ms\n", times[times.size() / 2]);
    return 0;
}
