#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace ProgramFolder {

QString path() {
    return QCoreApplication::applicationDirPath();
}

QString file(const QString& name) {
    return QDir(path()).filePath(name);
}

} // namespace ProgramFolder
