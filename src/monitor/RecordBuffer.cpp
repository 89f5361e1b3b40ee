#include "monitor/RecordBuffer.h"

#include "platform/NumberText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

QString pathIn(const QString& folder) {
    return QDir(folder).filePath(QStringLiteral("csv/log.csv"));
}

QString asideName(const QString& csvFolder, const QDateTime& when) {
    const QDir dir(csvFolder);
    const QString stem = QStringLiteral("log-") + when.toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString name = dir.filePath(stem + QStringLiteral(".csv"));
    for (int k = 2; QFileInfo::exists(name); ++k)
        name = dir.filePath(QStringLiteral("%1-%2.csv").arg(stem).arg(k));
    return name;
}

Result write(RecordBuffer& buffer, const QString& folder, const QStringList& titles,
             const QDateTime& now) {
    buffer.pause();
    Result result;
    result.path = pathIn(folder);
    const QString csvFolder = QFileInfo(result.path).path();
    if (!QDir().mkpath(csvFolder))
        return result;

    // Written to a temporary file and renamed at the end, so a failure half-way
    // leaves neither a truncated file nor a lost earlier one.
    QSaveFile file(result.path);
    if (!file.open(QIODevice::WriteOnly))
        return result;
    // UTF-8 with a byte order mark: spreadsheets then read the titles' letters right
    // whatever code page the machine uses.
    QByteArray text("\xEF\xBB\xBF");
    text += RecordBuffer::header(titles).toUtf8() + "\r\n";
    for (int k = 0; k < buffer.sampleCount(); ++k)
        text += buffer.line(k).toUtf8() + "\r\n";
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return result;
    }
    if (QFileInfo::exists(result.path)) {
        result.movedAside = asideName(csvFolder, now);
        if (!QFile::rename(result.path, result.movedAside)) {
            file.cancelWriting();
            result.movedAside.clear();
            return result;
        }
    }
    if (!file.commit()) {
        if (!result.movedAside.isEmpty() && QFile::rename(result.movedAside, result.path))
            result.movedAside.clear();
        return result;
    }
    buffer.RecordCount = 0;
    result.ok = true;
    return result;
}

} // namespace CsvExport
