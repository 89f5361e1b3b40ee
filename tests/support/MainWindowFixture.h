#pragma once
// The main window as the tests drive it: prompts that record, the window over a folder
// (by default the build's, with a line on which only COM1 opens), controls by name.
#include "app/DriveSession.h"
#include "app/MainForm.h"
#include "support/DataFiles.h"
#include "support/FakeConnectionHost.h"
#include "support/FakeLinkPort.h"
#include "support/RecordingPrompts.h"
#include "support/ScriptedReview.h"
#include "support/VirtualDrive.h"

#include <QApplication>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

// Takes the focus away with each message, as a real modal box does.
class FocusTakingPrompts final : public RecordingPrompts {
public:
    void message(Icon icon, const QString& title, const QString& text) override {
        RecordingPrompts::message(icon, title, text);
        if (QWidget* focused = QApplication::focusWidget())
            focused->clearFocus();
    }
};

template <typename P = RecordingPrompts> struct MainWindowFixture {
    P prompts;
    MainForm form;
    // Sets read and written are archived here, never in the user's own history.
    QTemporaryDir history;
    // Writes go ahead unless a test scripts the review.
    ScriptedReview review;

    explicit MainWindowFixture(const QString& folder = binFolder(),
                               std::unique_ptr<LinkPort> port = std::make_unique<IdlePort>())
        : form(prompts, folder, std::move(port)) {
        form.session().archived().history().setFolder(history.path());
        review.otherwise = true;
        form.session().archived().setReview(review);
    }
    template <typename T> T* child(const char* name) {
        return form.findChild<T*>(QString::fromLatin1(name));
    }
    bool startAndShow() {
        if (!form.startUp())
            return false;
        form.show();
        return QTest::qWaitForWindowExposed(&form);
    }
};

// The per-user link folder where the program looks for its ports, set first.
struct LinkFolder {
    QTemporaryDir runtime;
    LinkFolder() { qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit()); }
};

// The window on the real serial port, the virtual drive in that folder.
struct DriveWindow : LinkFolder, MainWindowFixture<> {
    VirtualDrive drive;

    DriveWindow() : MainWindowFixture(binFolder(), nullptr) {}
    bool start(const QStringList& options) {
        form.resize(1280, 900);
        return drive.start(QStringList{"--link-folder", runtime.filePath("liftdrive")} + options) &&
               startAndShow();
    }
    // Chooses the drive's port in the connection form and accepts it, as a user does.
    void acceptDrivePort() { acceptPort(form.session().connectionForm(), VirtualDrive::Com); }
    // Started, connected, and on the parameter page once the drive stopped streaming.
    bool startOnParameterPage(const QStringList& options) {
        if (!start(options))
            return false;
        acceptDrivePort();
        child<QTabBar>("TabStrip1")->setCurrentIndex(1);
        return QTest::qWaitFor([this] { return drive.log().contains("LOG A: monitor off"); });
    }
    QList<HistoryEntry> entries() { return History(history.path()).list(); }
};
