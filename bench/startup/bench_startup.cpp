// The whole program: start-up time from process start to the main window shown
// (offscreen), and resident memory after monitoring a drive that streams at the full
// line rate. The parent runs itself as a child and prints the figures. A virtual drive
// on COM13 stands in for the drive, as with scripts/run, so the port scan of start-up
// finds a port on any machine. `--seconds N` sets the monitoring time (default 60).
#include "app/MainForm.h"
#include "platform/QtPrompts.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

static double residentMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1.0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1.0;
}

// `seconds` 0: quit once the first paint of the window has been processed. Otherwise
// connect to the drive, monitor for that long and print the resident memory.
static int child(int argc, char* argv[], int seconds) {
    QApplication app(argc, argv);
    QtPrompts prompts;
    MainForm window(prompts, qEnvironmentVariable("LIFTDRIVE_BIN_DIR"));
    if (!window.startUp())
        return 1;
    window.show();
    if (seconds == 0) {
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
        return app.exec();
    }
    // The virtual drive's COM13, chosen as a user would (the machine may have ports of
    // its own that come first).
    ConnectionForm& connection = window.session().connectionForm();
    connection.portCombo()->setCurrentIndex(connection.portCombo()->findData(13));
    if (auto* accept = connection.findChild<QPushButton*>(QStringLiteral("AcceptCommand")))
        accept->click();
    if (window.session().selectedPort() != 13)
        return 2;
    window.session().pageSelected(DriveSession::Page::Monitor);
    // A stream that never arrived would measure an idle window.
    auto* speed = window.findChild<QLabel*>(QStringLiteral("LabelVValue"));
    bool streamed = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &app, [&] {
        streamed = streamed || (speed && speed->text() != QStringLiteral("..."));
    });
    watch.start(100);
    QTimer::singleShot(seconds * 1000, &app, [&] {
        if (!streamed) {
            QCoreApplication::exit(3);
            return;
        }
        std::printf("RSS %.1f\n", residentMb());
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return app.exec();
}

int main(int argc, char* argv[]) {
    if (argc > 2 && QByteArray(argv[1]) == "--child")
        return child(argc, argv, QByteArray(argv[2]).toInt());
    QCoreApplication app(argc, argv);
    int seconds = 60;
    const QStringList args = app.arguments();
    if (const qsizetype at = args.indexOf("--seconds"); at >= 0 && at + 1 < args.size())
        seconds = std::max(1, args[at + 1].toInt());
    QTemporaryDir runtime;
    QProcess drive;
    drive.start(QDir(qEnvironmentVariable("LIFTDRIVE_BIN_DIR")).filePath("liftdrive-emulator"),
                {"--serve", "--link-folder", runtime.filePath("liftdrive"), "--frame-rate", "700"});
    while (drive.waitForReadyRead(5000) && !drive.readAllStandardOutput().contains("READY")) {
    }
    if (drive.state() != QProcess::Running) {
        std::fprintf(stderr, "the virtual drive did not start\n");
        return 1;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    const int runs = 9;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        process.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        process.start(QCoreApplication::applicationFilePath(), {"--child", "0"});
        if (!process.waitForFinished(30000) || process.exitCode() != 0) {
            std::fprintf(stderr, "start-up run failed: %s\n",
                         process.readAllStandardError().constData());
            return 1;
        }
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::printf("BENCH startup_full_ms %.1f ms\n", times[times.size() / 2]);
    std::fflush(stdout);

    QProcess monitor;
    monitor.setProcessEnvironment(env);
    monitor.start(QCoreApplication::applicationFilePath(), {"--child", QString::number(seconds)});
    const bool done = monitor.waitForFinished((seconds + 60) * 1000);
    const QByteArray out = monitor.readAllStandardOutput();
    drive.terminate();
    drive.waitForFinished(3000);
    if (!done || monitor.exitCode() != 0 || !out.startsWith("RSS ")) {
        std::fprintf(stderr, "monitoring run failed (%d): %s\n", monitor.exitCode(),
                     monitor.readAllStandardError().constData());
        return 1;
    }
    std::printf("BENCH rss_mb %.1f MB\n", out.mid(4).trimmed().toDouble());
    return 0;
}
