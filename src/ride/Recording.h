#pragma once
// Reads a recording: the monitor's own export (UTF-8 with or without a byte order mark,
// a title line, fields separated by ";", a decimal comma or point whatever the locale
// of the machine that wrote it). Anything else is refused with the reason and the line,
// and nothing is kept of it.
#include "ride/TravelFigures.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

namespace RecordingFile {

// The largest file taken: a full day at the fastest sample rate stays well under it.
constexpr qint64 MaxBytes = qint64(512) * 1024 * 1024;
// The longest line taken; a sample's line is some 40 characters, the title line some 60.
constexpr qsizetype MaxLine = 4096;

enum class Failure {
    None,
    NotAFile,   // a folder, a device, a pipe, or nothing at all
    Unreadable, // detail: the system's reason
    TooLarge,   // larger than MaxBytes
    NotASample, // line: the first line that is neither the title nor a sample
    NoSamples,  // a title, or nothing, but no sample
    Cancelled,  // the progress callback asked to stop
};

struct Result {
    Failure failure = Failure::None;
    qint64 line = 0; // 1-based, for NotASample
    QString detail;
    QList<RideSample> samples;

    bool ok() const { return failure == Failure::None; }
};

// Called now and then with the bytes read so far and the file's size; returning false
// cancels the reading.
using Progress = std::function<bool(qint64 done, qint64 total)>;

Result read(const QString& path, const Progress& progress = {});
// The same for text already in memory.
Result parse(const QByteArray& text, const Progress& progress = {});

} // namespace RecordingFile
