#pragma once
// Writes small language packs and definition files the way the program stores them
// (Windows-1254, CR LF) into a scratch folder.
#include "platform/Win1254.h"

#include <QDir>
#include <QFile>
#include <QStringList>

inline bool writeCodePageFile(const QString& path, const QStringList& lines) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    for (const QString& line : lines)
        file.write(Win1254::encode(line) + "\r\n");
    return true;
}

inline bool writePack(const QString& folder, const QString& fileName, const QString& language,
                      const QStringList& entries) {
    return writeCodePageFile(QDir(folder).filePath(fileName),
                             QStringList{QStringLiteral("---QUVERA LNGPCK---"), language} +
                                 entries);
}

// The folder holding the program and its shipped data files in the build tree.
inline QString binFolder() {
    return qEnvironmentVariable("LIFTDRIVE_BIN_DIR");
}
