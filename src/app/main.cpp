#include "app/MainForm.h"
#include "app/QuitOnSignals.h"
#include "platform/ProgramFolder.h"
#include "platform/QtPrompts.h"

#include <QApplication>
#include <QScreen>
#include <QSettings>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QuitOnSignals quitOnSignals;
    QtPrompts prompts;
    MainForm window(prompts, ProgramFolder::path());
    prompts.setParent(&window);
    if (!window.startUp())
        return 1;
    // The window opens where the user left it; the first time large enough to show
    // every page whole, within the screen.
    QSettings place(QStringLiteral("liftdrive"), QStringLiteral("window"));
    if (!window.restoreGeometry(place.value(QStringLiteral("geometry")).toByteArray()))
        window.resize(QSize(1280, 900).boundedTo(window.screen()->availableGeometry().size()));
    window.show();
    const int code = app.exec();
    place.setValue(QStringLiteral("geometry"), window.saveGeometry());
    return code;
}
