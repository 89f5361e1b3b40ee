#pragma once
// Reads and writes that keep a copy of every set in the history, and a write that
// first shows what it will change: the pre-write read fetches the drive's set
// without touching the program's values, the user decides on the list of
// differences, and only a write the user approved archives the set it replaces.
#include "transfer/History.h"
#include "transfer/ParamTransfer.h"

#include <QDateTime>
#include <functional>

class ParamModule;

// Decides on a write (the dialog in the program, a script in tests).
class WriteReview {
public:
    virtual ~WriteReview() = default;
    // The differences between the drive's set and the set to be written (an empty
    // list: the drive already holds it) and how many values without a grid row
    // change besides. True writes.
    virtual bool approveWrite(const QList<ParamDifference>& differences, int hiddenChanges) = 0;
    // The drive's set could not be archived before the write (`error` says why).
    // True writes all the same.
    virtual bool writeWithoutBackup(const QString& error) = 0;
};

class ArchivedTransfer {
public:
    enum class Outcome {
        Done,
        Cancelled, // the user declined after the review or the archive warning
        Failed,    // the transfer did not end Done (lastResult() says how)
    };

    // Kinds of archived sets, as the history lists them.
    static inline const QString KindRead = QStringLiteral("read");
    static inline const QString KindBackup = QStringLiteral("backup");
    static inline const QString KindWrite = QStringLiteral("write");
    // A write whose read-back differs from what was sent: what the drive holds now.
    static inline const QString KindNotTaken = QStringLiteral("nottaken");

    ArchivedTransfer(ParamTransfer& transfer, ParamModule& params, TransferHost& host,
                     History& history, WriteReview& review,
                     std::function<QDateTime()> now = &QDateTime::currentDateTime);

    // The normal read; the set read is archived.
    Outcome read();
    // After a read that ended Doubtful and may be taken: takes it and archives it.
    Outcome takeDoubtfulRead();
    // Pre-write read, review, the backup, the write and its read-back.
    Outcome write();

    void setReview(WriteReview& review) { m_review = &review; }
    History& history() { return m_history; }
    ParamTransfer::Result lastResult() const { return m_last; }
    // Why the last set could not be archived; empty when it was (or none was due).
    const QString& archiveError() const { return m_archiveError; }
    // The differences the last review was shown.
    const QList<ParamDifference>& reviewed() const { return m_reviewed; }

    // The values the drive's words stand for, converted as a read stores them;
    // indexes beyond the block keep the program's values.
    ParamSet valuesOfWords(const std::array<std::int16_t, 128>& words) const;

private:
    // Archives the set the transfer received last; false (and the reason in
    // archiveError()) when it could not be written.
    bool archiveReceived(const QString& kind);

    ParamTransfer& m_transfer;
    ParamModule& m_params;
    TransferHost& m_host;
    History& m_history;
    WriteReview* m_review;
    std::function<QDateTime()> m_now;
    ParamTransfer::Result m_last = ParamTransfer::Result::Done;
    QString m_archiveError;
    QList<ParamDifference> m_reviewed;
};
