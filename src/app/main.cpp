#include "app/MainForm.h"
#include "app/QuitOnSignals.h"
#include "platform/ProgramFolder.h"
#include "platform/QtPrompts.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QuitOnSignals quitOnSignals;
    QtPrompts prompts;
    MainForm window(prompts, ProgramFolder::path());
    prompts.setParent(&window);
    if (!window.startUp())
        return 1;
    window.show();
    return app.exec();
}
