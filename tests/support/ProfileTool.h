#pragma once
// Runs the built liftdrive-profile beside its data files and collects what it printed.
#include "support/DataFiles.h"

#include <QDir>
#include <QProcess>
#include <QStringList>

struct ToolOutput {
    int exitCode = -1; // also when it crashed or never ended
    QString out, err;
};

inline ToolOutput runProfileTool(const QStringList& args) {
    QProcess process;
    process.start(QDir(binFolder()).filePath(QStringLiteral("liftdrive-profile")), args);
    const bool ended = process.waitForFinished(60000);
    if (!ended || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished(1000);
        return {};
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}
