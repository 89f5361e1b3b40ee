#include "monitor/RecordBuffer.h"

#include "platform/NumberText.h"
#include "platform/SafeFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

bool RecordBuffer::append(double now, const MonitorState& state) {
    if (RecordCount > UpperBound - 5) {
        Recording = false;
        return false;
    }
    float* at = m_data.data() + RecordCount;
    at[0] = float(now - RecordStartTime);
    at[1] = float(state.SpeedRaw);
    at[2] = float(state.AccelRaw);
    at[3] = float(state.CurrentRaw);
    RecordCount += ValuesPerSample;
    return true;
}

QString RecordBuffer::header(const QStringList& titles) {
    QString out = QStringLiteral("T; ");
    for (const QString& title : titles)
        out += title + QStringLiteral("; ");
    return out;
}

QString RecordBuffer::line(int sample) const {
    const float* at = m_data.data() + std::size_t(sample) * ValuesPerSample;
    return NumberText::general(at[0]) + QStringLiteral("; ") + NumberText::general(at[1]) +
           QStringLiteral("; ") + NumberText::general(at[2]) + QStringLiteral("; ") +
           NumberText::general(at[3]);
}

namespace CsvExport {

QString recordingFolder(const QString& programFolder) {
    const QString beside = QDir(programFolder).filePath(QStringLiteral("csv"));
    // A portable install: the user owns the program's folder, or its csv/ itself.
    if (SafeFiles::ownFolder(beside) ||
        (!SafeFiles::occupied(beside) && SafeFiles::ownFolder(programFolder)))
        return beside;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
        .filePath(QStringLiteral("liftdrive/csv"));
}

QString asideName(const QString& csvFolder, const QDateTime& when) {
    const QDir dir(csvFolder);
    const QString stem = QStringLiteral("log-") + when.toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString name = dir.filePath(stem + QStringLiteral(".csv"));
    for (int k = 2; SafeFiles::occupied(name); ++k)
        name = dir.filePath(QStringLiteral("%1-%2.csv").arg(stem).arg(k));
    return name;
}

Result write(RecordBuffer& buffer, const QString& folder, const QStringList& titles,
             const QDateTime& now) {
    buffer.pause();
    Result result;
    const QString csvFolder = recordingFolder(folder);
    result.path = QDir(csvFolder).filePath(QStringLiteral("log.csv"));
    // Only into a folder of the user's own: in one others can write to, they could
    // lay names there that turn the export against the user.
    if (!SafeFiles::occupied(csvFolder))
        QDir().mkpath(csvFolder);
    if (!SafeFiles::ownFolder(csvFolder))
        return result;

    // Written to a new file of its own name (never an existing one, never through a
    // link) and renamed at the end, so a failure half-way leaves neither a truncated
    // file nor a lost earlier one.
    QTemporaryFile file(QDir(csvFolder).filePath(QStringLiteral("log-XXXXXX.part")));
    if (!file.open())
        return result;
    // UTF-8 with a byte order mark: spreadsheets then read the titles' letters right
    // whatever code page the machine uses.
    QByteArray text("\xEF\xBB\xBF");
    text += RecordBuffer::header(titles).toUtf8() + "\r\n";
    for (int k = 0; k < buffer.sampleCount(); ++k)
        text += buffer.line(k).toUtf8() + "\r\n";
    if (file.write(text) != text.size() || !file.flush())
        return result;
    file.close();
    // Whatever lies at log.csv (a file, a link) is moved aside under its own name.
    if (SafeFiles::occupied(result.path)) {
        result.movedAside = asideName(csvFolder, now);
        if (!SafeFiles::renameNoReplace(result.path, result.movedAside)) {
            result.movedAside.clear();
            return result;
        }
    }
    if (!SafeFiles::renameNoReplace(file.fileName(), result.path)) {
        if (!result.movedAside.isEmpty() &&
            SafeFiles::renameNoReplace(result.movedAside, result.path))
            result.movedAside.clear();
        return result;
    }
    file.setAutoRemove(false);
    buffer.RecordCount = 0;
    result.ok = true;
    return result;
}

} // namespace CsvExport
