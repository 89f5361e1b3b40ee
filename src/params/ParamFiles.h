#pragma once
// Parameter files (*.quv): the 128 stored values, one per line, saved from and
// loaded back through the parameter setter. The caller asks for the file and tells
// the user what happened.
#include <QByteArray>
#include <QString>
#include <array>

class ParamModule;

class ParamFiles {
public:
    static inline const QString Pattern = QStringLiteral("*.quv");
    // Longest line a parameter file may carry, in bytes. A value needs a dozen
    // characters; anything longer is no parameter file and is not read further.
    static constexpr qint64 MaxLineLength = 1024;
    // Largest file read: 128 lines of the longest length. A value file is far
    // smaller; anything larger (or no regular file) is refused unread.
    static constexpr qint64 MaxFileBytes = 128 * (MaxLineLength + 2);
    // The row of the firmware version, which a load leaves alone.
    static constexpr int FirmwareIndex = 125;

    enum class Result { Done, Cancelled, Failed };

    explicit ParamFiles(ParamModule& params) : m_params(params) {}

    // Loads `path` index by index through SetParameter, all but the firmware row. On
    // a failure (unreadable, no regular file, too large, fewer than 128 lines, not a
    // text file) the values set so far stay set; failureText() says what to show.
    Result load(const QString& path);
    // Writes `path` without asking. The file is written beside the target and
    // swapped in only when complete, so a failure leaves an earlier file as it was.
    Result save(const QString& path);

    // The whole file as written: 128 lines, CR LF, "." as decimal point.
    QByteArray fileText() const;
    // The same text for any set of 128 values.
    static QByteArray textOf(const std::array<float, 128>& values);
    // The failure message for `path`.
    static QString failureText(const QString& path);

private:
    ParamModule& m_params;
};
