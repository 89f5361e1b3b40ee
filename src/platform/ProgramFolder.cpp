#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace ProgramFolder {

QString path() {
    return QCoreApplication::applicationDirPath();
}

QString file(const QString& name) {
    return QDir(path()).filePath(name);
}

QString findIgnoringCase(const QString& folder, const QString& relative) {
    QString current = folder;
    const QStringList parts = relative.split(u'/', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QDir dir(current);
        const bool last = i == parts.size() - 1;
        QString match;
        if (QFileInfo::exists(dir.filePath(parts[i]))) {
            match = parts[i];
        } else {
            const QDir::Filters filter = last ? QDir::Files : QDir::Dirs | QDir::NoDotAndDotDot;
            for (const QString& entry : dir.entryList(filter))
                if (entry.compare(parts[i], Qt::CaseInsensitive) == 0) {
                    match = entry;
                    break;
                }
        }
        if (match.isEmpty())
            return QString();
        current = dir.filePath(match);
    }
    return QFileInfo(current).isFile() ? current : QString();
}

QString findBeside(const QString& relative) {
    const QString beside = findIgnoringCase(path(), relative);
    return beside.isEmpty() ? findIgnoringCase(QDir::currentPath(), relative) : beside;
}

} // namespace ProgramFolder
