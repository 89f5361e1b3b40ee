#pragma once
// The main window connected to the virtual drive as a user connects it, for the
// benchmarks that measure the whole program over time; nobody answers its dialogs.
#include "app/DriveSession.h"
#include "app/MainForm.h"
#include "link/ConnectionForm.h"
#include "support/DataFiles.h"
#include "support/RecordingPrompts.h"
#include "support/ScriptedReview.h"
#include "support/VirtualDrive.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <unistd.h>

inline double residentMb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0.0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

struct WindowOnDrive {
    QTemporaryDir runtime;
    QTemporaryDir history;
    VirtualDrive drive;
    RecordingPrompts prompts;
    ScriptedReview review;
    std::unique_ptr<MainForm> window;

    // Starts the drive with `driveArgs`, the window on it with the monitor page in front.
    bool start(const char* name, const QStringList& driveArgs) {
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        if (!drive.start(QStringList{"--serve", "--link-folder", runtime.filePath("liftdrive")} +
                         driveArgs)) {
            std::fprintf(stderr, "%s: the virtual drive did not start\n", name);
            return false;
        }
        window = std::make_unique<MainForm>(prompts, binFolder());
        review.otherwise = true;
        window->session().archived().setReview(review);
        window->session().archived().history().setFolder(history.path());
        if (!window->startUp())
            return false;
        window->show();
        ConnectionForm& form = window->session().connectionForm();
        // The drive's number, not the first free port: the machine may have its own.
        form.portCombo()->setCurrentIndex(form.portCombo()->findData(VirtualDrive::Com));
        form.show();
        QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("AcceptCommand")),
                          Qt::LeftButton);
        if (form.selectedPort() != VirtualDrive::Com) {
            std::fprintf(stderr, "%s: no port\n", name);
            return false;
        }
        tabs()->setCurrentIndex(0); // monitor page: frames stream
        return true;
    }
    QTabBar* tabs() { return window->findChild<QTabBar*>(QStringLiteral("TabStrip1")); }
};
