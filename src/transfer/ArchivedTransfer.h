#pragma once
// Reads and writes that keep a copy of every set in the history, and a write that
// first shows what it will change: the pre-write read fetches the drive's set
// without touching the program's values, archives it as a backup, and the user
// decides on the list of differences before anything is sent.
#include "transfer/History.h"
#include "transfer/ParamTransfer.h"

#include <QDateTime>
#include <functional>

class LangModule;
class ParamModule;
class Prompts;

// Decides on a write from the differences between the drive's set and the set to
// be written (an empty list: the drive already holds it). True writes.
class WriteReview {
public:
    virtual ~WriteReview() = default;
    virtual bool approveWrite(const QList<ParamDifference>& differences) = 0;
};

class ArchivedTransfer {
public:
    enum class Outcome {
        Done,
        Cancelled, // the user declined after the review or the archive warning
        Failed,    // the transfer ended with its own message (or refused to start)
    };

    ArchivedTransfer(ParamTransfer& transfer, ParamModule& params, LangModule& lang,
                     Prompts& prompts, TransferHost& host, History& history, WriteReview& review,
                     std::function<QDateTime()> now = &QDateTime::currentDateTime);

    // The normal read; the set read is archived ("read").
    Outcome read();
    // Pre-write read ("backup"), review, write and its read-back ("write").
    Outcome write();

    // Who decides after the review (the dialog in the program, a script in tests).
    void setReview(WriteReview& review) { m_review = &review; }
    History& history() { return m_history; }
    ParamTransfer::Result lastResult() const { return m_last; }
    // The differences the last review was shown.
    const QList<ParamDifference>& reviewed() const { return m_reviewed; }

    // The values the drive's words stand for, converted as a read stores them;
    // indexes beyond the block keep the program's values.
    ParamSet valuesOfWords(const std::array<std::int16_t, 128>& words) const;

private:
    // Archives the set the transfer received last; false (and the reason in `error`)
    // when it could not be written.
    bool archiveReceived(const QString& kind, QString* error);

    ParamTransfer& m_transfer;
    ParamModule& m_params;
    LangModule& m_lang;
    Prompts& m_prompts;
    TransferHost& m_host;
    History& m_history;
    WriteReview* m_review;
    std::function<QDateTime()> m_now;
    ParamTransfer::Result m_last = ParamTransfer::Result::Done;
    QList<ParamDifference> m_reviewed;
};
