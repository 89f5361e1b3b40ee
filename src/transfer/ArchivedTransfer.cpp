#include "transfer/ArchivedTransfer.h"

#include "params/ParamFiles.h"
#include "params/ParamModule.h"

using Result = ParamTransfer::Result;

ArchivedTransfer::ArchivedTransfer(ParamTransfer& transfer, ParamModule& params, TransferHost& host,
                                   History& history, WriteReview& review,
                                   std::function<QDateTime()> now)
    : m_transfer(transfer), m_params(params), m_host(host), m_history(history), m_review(&review),
      m_now(std::move(now)) {}

ParamSet ArchivedTransfer::valuesOfWords(const std::array<std::int16_t, 128>& words) const {
    ParamSet values = m_params.ParamValues();
    const int n = m_transfer.blockWords();
    for (int k = 0; k < n; ++k) {
        const ParamDef& def = m_params.ParamCatalogue[std::size_t(k)];
        const bool hasRow = m_params.FindGridRow(k) != ParamModule::NoMatch;
        const auto word = std::uint16_t(words[std::size_t(k)]);
        float v = 0.0f;
        if (m_params.driveVersion() >= def.minVersion && !(hasRow && def.scale == 0.0f))
            v = ParamTransfer::valueOfWord(word, def.scale, hasRow);
        values[std::size_t(k)] = v;
    }
    return values;
}

bool ArchivedTransfer::archiveReceived(const QString& kind) {
    const auto& words = m_transfer.receivedWords();
    // Blocks of firmware 8.26 and older do not carry the version word.
    const QString firmware = m_transfer.blockWords() > ParamTransfer::FirmwareIndex
                                 ? QString::number(words[ParamTransfer::FirmwareIndex])
                                 : QStringLiteral("<=826");
    const QByteArray text = ParamFiles::textOf(valuesOfWords(words));
    return !m_history.archive(kind, m_host.selectedPort(), firmware, text, m_now(), &m_archiveError)
                .isEmpty();
}

ArchivedTransfer::Outcome ArchivedTransfer::read() {
    m_archiveError.clear();
    m_last = m_transfer.ReadParameters();
    if (m_last != Result::Done)
        return Outcome::Failed;
    archiveReceived(KindRead);
    return Outcome::Done;
}

ArchivedTransfer::Outcome ArchivedTransfer::takeDoubtfulRead() {
    m_archiveError.clear();
    m_last = m_transfer.takeDoubtfulRead();
    if (m_last != Result::Done)
        return Outcome::Failed;
    archiveReceived(KindRead);
    return Outcome::Done;
}

ArchivedTransfer::Outcome ArchivedTransfer::write() {
    m_reviewed.clear();
    m_archiveError.clear();
    const int n = m_transfer.blockWords();
    // A value that cannot be sent is refused by the write itself, before any read.
    std::array<std::int16_t, 128> wanted{};
    for (int k = 0; k < n; ++k) {
        std::uint16_t w = 0;
        if (k != ParamTransfer::FirmwareIndex &&
            !ParamModule::wordOf(m_params.GetParameter(k),
                                 m_params.ParamCatalogue[std::size_t(k)].scale, &w)) {
            m_last = m_transfer.WriteParameters();
            return m_last == Result::Done ? Outcome::Done : Outcome::Failed;
        }
        wanted[std::size_t(k)] = std::int16_t(w);
    }

    m_last = m_transfer.ReadDriveSet();
    if (m_last != Result::Done)
        return Outcome::Failed;

    // What the drive will hold is what the words read back as; the drive keeps its own
    // version word and ignores what its firmware lacks, so those rows never change.
    const auto& drive = m_transfer.receivedWords();
    int hidden = 0;
    for (int k = 0; k < n; ++k) {
        const ParamDef& def = m_params.ParamCatalogue[std::size_t(k)];
        if (k == ParamTransfer::FirmwareIndex || m_params.driveVersion() < def.minVersion)
            wanted[std::size_t(k)] = drive[std::size_t(k)];
        hidden += def.isPlaceholder() && wanted[std::size_t(k)] != drive[std::size_t(k)];
    }
    m_reviewed = differences(m_params.ParamCatalogue, valuesOfWords(drive), valuesOfWords(wanted));
    if (!m_review->approveWrite(m_reviewed, hidden))
        return Outcome::Cancelled;
    // Only a set something is written over is a backup.
    if (!archiveReceived(KindBackup) && !m_review->writeWithoutBackup(m_archiveError))
        return Outcome::Cancelled;
    m_archiveError.clear();

    m_last = m_transfer.WriteParameters();
    // A write the drive did not take in full still read back a complete set: what
    // the drive holds now, under its own kind.
    if (m_last == Result::Done)
        archiveReceived(KindWrite);
    else if (m_last == Result::NotTaken || m_last == Result::FirmwareChanged)
        archiveReceived(KindNotTaken);
    return m_last == Result::Done ? Outcome::Done : Outcome::Failed;
}
