// The connection dialog's port scan (COM1-COM16 with the virtual drive on one number,
// a link into nowhere on another and the machine's own devices on the rest) and the
// time from a replugged adapter being back to its port being open again.
#include "lang/LangModule.h"
#include "link/ConnectionForm.h"
#include "link/LineWatcher.h"
#include "link/SerialLinkPort.h"
#include "support/FakeConnectionHost.h"
#include "support/RecordingPrompts.h"
#include "support/VirtualDrive.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <algorithm>

namespace {

double median(QList<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("LIFTDRIVE_BIN_DIR"))
        qputenv("LIFTDRIVE_BIN_DIR",
                (QCoreApplication::applicationDirPath() + "/../bin").toLocal8Bit());
    QTextStream out(stdout);
    QTextStream err(stderr);

    VirtualDrive drive;
    if (!drive.start()) {
        err << "bench_linkhealth: the virtual drive did not start" << Qt::endl;
        return 1;
    }
    QFile::link(QStringLiteral("/nonexistent/ttyUSB7"), drive.linkFolder() + "/COM15");
    SerialLinkPort port(ComPortMap(drive.linkFolder()));
    LineWatcher watcher(port);
    RecordingPrompts prompts;
    LangModule lang{QString()};
    FakeConnectionHost host;
    ConnectionForm form(port, watcher, lang, prompts, host);
    form.load();

    QList<double> scans;
    QElapsedTimer timer;
    for (int i = 0; i < 21; ++i) {
        timer.start();
        form.show(); // opening the dialog scans
        scans << timer.nsecsElapsed() / 1e6;
        form.hide();
    }
    out << "BENCH port_scan_ms " << QString::number(median(scans), 'f', 2) << " ms" << Qt::endl;

    form.portCombo()->setCurrentIndex(form.portCombo()->findData(VirtualDrive::Com));
    form.SelectFirstAvailablePort();
    if (form.selectedPort() != VirtualDrive::Com) {
        err << "bench_linkhealth: the drive's port did not open" << Qt::endl;
        return 1;
    }
    // The drive comes back as a process of its own while the event loop runs, so the
    // figure includes waiting for the dialog's next look, as a real replug would.
    const QString emulator = qEnvironmentVariable("LIFTDRIVE_BIN_DIR") + "/liftdrive-emulator";
    const QStringList args{"--link-folder", drive.linkFolder(), "--com",
                           QString::number(VirtualDrive::Com)};
    QList<double> reopens;
    drive.command(QStringLiteral("hangup"), QStringLiteral("HANGUP"));
    drive.waitForExit();
    for (int i = 0; i < 7; ++i) {
        QDeadlineTimer lost(5000);
        while (!watcher.awaiting() && !lost.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QProcess back;
        bool ready = false;
        QObject::connect(&back, &QProcess::readyReadStandardOutput, [&] {
            if (!ready && back.readAllStandardOutput().contains("READY")) {
                ready = true;
                timer.start(); // the adapter is back: its link names a live terminal
            }
        });
        back.start(emulator, args);
        QDeadlineTimer limit(10000);
        while (!(ready && port.isOpen()) && !limit.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        if (!port.isOpen()) {
            err << "bench_linkhealth: the port was not reopened" << Qt::endl;
            return 1;
        }
        reopens << timer.nsecsElapsed() / 1e6;
        back.write("hangup\n");
        back.waitForFinished(5000);
    }
    out << "BENCH reconnect_ms " << QString::number(median(reopens), 'f', 1) << " ms" << Qt::endl;
    return 0;
}
