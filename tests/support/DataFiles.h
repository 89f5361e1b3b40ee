#pragma once
// Writes small language packs and definition files the way the program stores them
// (Windows-1254, CR LF) into a scratch folder.
#include "platform/Win1254.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <set>

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

// The setter's and the file commands' texts, short enough to compare whole.
inline const QStringList kMessageTexts = {
    "2#Open", "3#Save",  "53#Replace %1?", "114# too large, max ", "115# too small, min ",
    "116#!",  "118#Warn"};

// `lines`, then a placeholder for every index they leave undefined: the program takes
// only a catalogue that defines all 128.
inline QStringList completeDefinitions(const QStringList& lines) {
    std::set<int> defined;
    for (const QString& line : lines) {
        bool ok = false;
        const int k = line.section(u':', 1, 1).toInt(&ok);
        if (ok)
            defined.insert(k);
    }
    QStringList out = lines;
    for (int k = 0; k < 128; ++k)
        if (!defined.count(k))
            out << QStringLiteral("D%1:%1:*DUMMY*:::0:65535:0:1:0").arg(k);
    return out;
}

// The folder holding the program and its shipped data files in the build tree.
inline QString binFolder() {
    return qEnvironmentVariable("LIFTDRIVE_BIN_DIR");
}
