#pragma once
// The monitor's recording: samples of time, speed, acceleration and current kept in
// memory while recording is on, and their export as a semicolon-separated file that
// spreadsheets open, in the user's locale.
#include "monitor/MonitorState.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

class RecordBuffer {
public:
    static constexpr int UpperBound = 100000; // slots 0..100000
    static constexpr int ValuesPerSample = 4;

    bool Recording = false;
    double RecordStartTime = 0.0; // monotonic seconds
    int RecordCount = 0;          // values written; the next sample starts here

    RecordBuffer() : m_data(std::size_t(UpperBound) + 1, 0.0f) {}

    // Start keeps what was recorded; the new part's times count from `now`.
    void start(double now) {
        RecordStartTime = now;
        Recording = true;
    }
    void pause() { Recording = false; }
    // One sample at `now`. When the buffer is full, recording stops and nothing is
    // written; false then.
    bool append(double now, const MonitorState& state);

    int sampleCount() const { return RecordCount / ValuesPerSample; }
    float value(int index) const { return m_data[std::size_t(index)]; }

    // "T; <speed>; <acceleration>; <current>; " with the given column titles.
    static QString header(const QStringList& titles);
    // Line of sample k: numbers in the current locale, no separator at the end.
    QString line(int sample) const;

private:
    std::vector<float> m_data;
};

namespace CsvExport {

struct Result {
    bool ok = false;
    QString path;       // the file written (or that could not be written)
    QString movedAside; // where an earlier file of that name went; empty when none
};

// Where recordings go for the program in `programFolder`: its csv/ when the user owns
// that (a portable install), otherwise liftdrive/csv in the user's documents.
QString recordingFolder(const QString& programFolder);
// The name an earlier export is moved to: log-yyyyMMdd-hhmmss.csv, with "-2", "-3" ...
// added while that is taken.
QString asideName(const QString& csvFolder, const QDateTime& when);

// Stops recording and writes every sample to log.csv in the recording folder of
// `folder`, creating it when missing; the folder must be the user's own. Whatever
// lies at log.csv is moved aside first (a link as a link, never followed), so no
// recording is ever overwritten. On success the buffer is emptied; on failure it is
// left as it was for another try, and so is any earlier file.
Result write(RecordBuffer& buffer, const QString& folder, const QStringList& titles,
             const QDateTime& now = QDateTime::currentDateTime());

} // namespace CsvExport
