// liftdrive-screenshots <folder> [--lang N] [--size WxH]: pictures of the three pages and
// the About dialog with real content, for the README. It starts the virtual drive
// beside itself, connects to it as a user would, reads the drive's set, lets the
// monitor run on the streamed travel, and grabs the window on each page.
#include "app/AboutForm.h"
#include "app/MainForm.h"
#include "platform/QtPrompts.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

// Messages during the run would block it; they go to standard error instead.
class LoggingPrompts final : public Prompts {
public:
    void message(Icon, const QString& title, const QString& text) override {
        QTextStream(stderr) << title << ": " << text << '\n';
    }
    bool confirm(const QString&, const QString&) override { return true; }
    Choice askSave(const QString&, const QString&, const QString&, const QString&,
                   const QString&) override {
        return Choice::Discard;
    }
    QString openFileName(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&) override { return {}; }
    bool openUrl(const QString&) override { return false; }
};

bool save(QWidget& widget, const QString& path) {
    QApplication::processEvents();
    return widget.grab().save(path);
}

} // namespace

int main(int argc, char* argv[]) {
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: liftdrive-screenshots <folder> [--lang N] [--size WxH]\n";
        return 2;
    }
    const QString out = args[1];
    QDir().mkpath(out);
    int language = 0;
    QSize size(1280, 900);
    if (const qsizetype at = args.indexOf("--lang"); at > 0 && at + 1 < args.size())
        language = args[at + 1].toInt();
    if (const qsizetype at = args.indexOf("--size"); at > 0 && at + 1 < args.size()) {
        const QStringList wh = args[at + 1].split(u'x');
        if (wh.size() == 2)
            size = QSize(wh[0].toInt(), wh[1].toInt());
    }

    const QString bin = QCoreApplication::applicationDirPath();
    QProcess drive;
    drive.start(QDir(bin).filePath("liftdrive-emulator"),
                {"--serve", "--link-folder", runtime.filePath("liftdrive"), "--frame-rate", "200"});
    while (drive.waitForReadyRead(5000) && !drive.readAllStandardOutput().contains("READY")) {
    }
    if (drive.state() != QProcess::Running) {
        QTextStream(stderr) << "the virtual drive did not start\n";
        return 1;
    }

    LoggingPrompts prompts;
    MainForm window(prompts, bin);
    // The virtual drive's sets stay out of the user's own history.
    QTemporaryDir history;
    window.session().archived().history().setFolder(history.path());
    if (!window.startUp())
        return 1;
    window.resize(size);
    window.show();
    if (language > 0)
        window.switchLanguage(language);
    ConnectionForm& connection = window.session().connectionForm();
    connection.portCombo()->setCurrentIndex(connection.portCombo()->findData(13));
    connection.findChild<QPushButton*>("AcceptCommand")->click();

    auto* tabs = window.findChild<QTabBar*>("TabStrip1");
    tabs->setCurrentIndex(1);
    window.session().readAction()->trigger(); // the drive's set, as after a first read
    tabs->setCurrentIndex(0);
    QTest::qWait(6000); // a few seconds of the streamed travel on the chart
    const bool ok =
        save(window, QDir(out).filePath("monitor.png")) &&
        (tabs->setCurrentIndex(1), save(window, QDir(out).filePath("parameters.png"))) &&
        (tabs->setCurrentIndex(2), save(window, QDir(out).filePath("travel.png")));
    AboutForm* about = window.findChild<AboutForm*>("AboutForm");
    bool aboutOk = false;
    if (about) {
        about->show();
        QTest::qWait(100);
        aboutOk = save(*about, QDir(out).filePath("about.png"));
        about->hide();
    }
    drive.terminate();
    drive.waitForFinished(3000);
    return ok && aboutOk ? 0 : 1;
}
