#include "transfer/ParamTransfer.h"

#include "lang/LangModule.h"
#include "link/LinkPort.h"
#include "link/ProtocolModule.h"
#include "params/DriveValueColumn.h"
#include "params/ParamModule.h"
#include "platform/Clock.h"
#include "platform/NumberText.h"

#include <cmath>
#include <optional>

namespace {

// Marks a transfer as running for its whole length, whatever exit it takes.
class TransferScope {
public:
    TransferScope(bool& busy, TransferHost& gate) : m_busy(busy), m_gate(gate) {
        m_busy = true;
        m_gate.setTransferCommandsEnabled(false);
    }
    ~TransferScope() {
        m_gate.setTransferCommandsEnabled(true);
        m_busy = false;
    }
    TransferScope(const TransferScope&) = delete;
    TransferScope& operator=(const TransferScope&) = delete;

private:
    bool& m_busy;
    TransferHost& m_gate;
};

class ProgressScope {
public:
    ProgressScope(TransferProgress& progress, const QString& label) : m_progress(progress) {
        m_progress.showProgress(label);
        m_progress.setProgress(0);
    }
    ~ProgressScope() { m_progress.hideProgress(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    TransferProgress& m_progress;
};

} // namespace

ParamTransfer::ParamTransfer(ProtocolModule& protocol, ParamModule& params, const LangModule& lang,
                             TransferHost& host, DriveValueColumn& column,
                             TransferProgress& progress)
    : m_protocol(protocol), m_params(params), m_lang(lang), m_host(host), m_column(column),
      m_progress(progress) {}

int ParamTransfer::wordCount() const {
    return m_host.versionGt826() ? ProtocolModule::LongBlockWords : ProtocolModule::ShortBlockWords;
}

ParamTransfer::Result ParamTransfer::finish(Result result) {
    m_outcome.result = result;
    return result;
}

float ParamTransfer::valueOfWord(std::uint16_t word, float scale, bool hasGridRow) {
    const int s = std::int16_t(word);
    if (!hasGridRow)
        return float(s);
    return scale == 0.0f ? 0.0f : float(s) / scale;
}

void ParamTransfer::WaitShort() {
    m_protocol.waitUntil(m_protocol.clock().monotonicSeconds(), ShortWaitSeconds);
}

std::optional<ParamTransfer::Result> ParamTransfer::cannotStart() {
    // A transfer asked for while one runs leaves the running one's outcome alone.
    if (m_busy)
        return Result::Busy;
    m_outcome = Outcome{};
    if (m_host.selectedPort() == 0)
        return finish(Result::NoPort);
    return std::nullopt;
}

ParamTransfer::Result ParamTransfer::ReadParameters() {
    if (const std::optional<Result> refused = cannotStart())
        return *refused;
    TransferScope scope(m_busy, m_host);
    return readSet();
}

ParamTransfer::Result ParamTransfer::receiveFailed(bool badChecksum) {
    // What is left of the answer must not be taken for the start of the next one.
    if (!m_protocol.port().lineLost())
        m_protocol.FlushInput();
    if (m_protocol.port().lineLost())
        return Result::LineLost;
    return badChecksum ? Result::BadChecksum : Result::NoAnswer;
}

ParamTransfer::Result ParamTransfer::receiveBlock(std::array<std::uint16_t, 128>& raw) {
    m_heldBlock.reset();
    ProtocolModule& p = m_protocol;
    p.FlushInput();
    p.SendData(ProtocolModule::StopBurst);
    p.FlushInput();
    p.waitUntil(p.clock().monotonicSeconds(), SettleSeconds);
    p.FlushInput();

    p.SendData(ProtocolModule::ParamReadRequest);
    if (!p.ReceiveByte(ReceiveTimeoutSeconds)) // leading byte, not used
        return receiveFailed(false);

    const int n = wordCount();
    m_receivedWords.fill(0);
    std::uint16_t sum = ProtocolModule::BlockChecksumStart;
    auto receiveWord = [&p](std::uint16_t* word) {
        const std::optional<std::uint8_t> high = p.ReceiveByte(ReceiveTimeoutSeconds);
        if (!high)
            return false;
        const std::optional<std::uint8_t> low = p.ReceiveByte(ReceiveTimeoutSeconds);
        if (!low)
            return false;
        *word = std::uint16_t(*high * 256 + *low);
        return true;
    };
    for (int k = 0; k < n; ++k) {
        std::uint16_t w = 0;
        if (!receiveWord(&w))
            return receiveFailed(false);
        sum = std::uint16_t(sum + w);
        raw[std::size_t(k)] = w;
        m_receivedWords[std::size_t(k)] = std::int16_t(w);
    }
    if (n == ProtocolModule::LongBlockWords) {
        std::uint16_t trailer = 0;
        std::uint16_t checksum = 0;
        if (!receiveWord(&trailer))
            return receiveFailed(false);
        sum = std::uint16_t(sum + trailer);
        if (!receiveWord(&checksum))
            return receiveFailed(false);
        if (checksum != sum)
            return receiveFailed(true);
        m_firmwareWord = raw[FirmwareIndex];
    }
    return Result::Done;
}

ParamTransfer::Result ParamTransfer::ReadDriveSet() {
    if (const std::optional<Result> refused = cannotStart())
        return *refused;
    TransferScope scope(m_busy, m_host);
    std::array<std::uint16_t, 128> raw{};
    const Result received = receiveBlock(raw);
    if (received != Result::Done)
        return finish(received);
    m_params.takeDriveVersion(float(m_receivedWords[FirmwareIndex]));
    m_protocol.FlushInput();
    return finish(Result::Done);
}

ParamTransfer::Result ParamTransfer::readSet(std::optional<std::uint16_t> expectedFirmware) {
    ProtocolModule& p = m_protocol;
    std::array<std::uint16_t, 128> raw{};
    const Result received = receiveBlock(raw);
    if (received != Result::Done)
        return finish(received);
    const int n = wordCount();

    // A drive that stored the word it was sent, or was replaced during the write,
    // reads back under another version: its values would be converted for a
    // firmware the program has not seen.
    if (expectedFirmware && n > FirmwareIndex && raw[FirmwareIndex] != *expectedFirmware) {
        p.FlushInput();
        m_outcome.firmwareSent = *expectedFirmware;
        m_outcome.firmwareRead = raw[FirmwareIndex];
        return finish(Result::FirmwareChanged);
    }

    // The short block has no checksum: a shifted or damaged block is seen only in
    // its values. A few values outside their limits may be the drive's own (set on
    // the keypad, or limits that changed between firmware versions): the user may
    // take the rest. Many are a shifted block, never offered; nor is a write's
    // read-back, whose values the program sent itself.
    if (n == ProtocolModule::ShortBlockWords) {
        m_outcome.doubtful = valuesOutsideLimits(raw, n, float(m_receivedWords[FirmwareIndex]));
        if (!m_outcome.doubtful.isEmpty()) {
            p.FlushInput();
            if (!expectedFirmware && m_outcome.doubtful.size() <= MaxDoubtfulValues)
                m_heldBlock = raw;
            return finish(Result::Doubtful);
        }
    }
    return storeBlock(raw);
}

ParamTransfer::Result ParamTransfer::takeDoubtfulRead() {
    if (m_busy)
        return Result::Busy;
    if (!m_heldBlock)
        return finish(Result::Doubtful);
    const std::array<std::uint16_t, 128> raw = *m_heldBlock;
    m_heldBlock.reset();
    TransferScope scope(m_busy, m_host);
    m_outcome = Outcome{};
    return storeBlock(raw);
}

ParamTransfer::Result ParamTransfer::storeBlock(const std::array<std::uint16_t, 128>& raw) {
    ProtocolModule& p = m_protocol;
    const int n = wordCount();
    m_params.takeDriveVersion(float(m_receivedWords[FirmwareIndex]));
    // A value the catalogue refuses keeps the program's own, so its row differs
    // from the drive's: the set is identical only when every value was taken.
    bool allTaken = true;
    {
        ProgressScope progress(m_progress, m_lang.LangText(TextId::Reading));
        for (int k = 0; k < n; ++k) {
            const ParamDef& def = m_params.ParamCatalogue[std::size_t(k)];
            const int row = m_params.FindGridRow(k);
            const bool hasRow = row != ParamModule::NoMatch;
            ParamModule::Check check = ParamModule::Accepted;
            if (m_params.driveVersion() < def.minVersion) {
                check = m_params.SetParameter(k, 0.0f);
                if (hasRow)
                    m_column.setDriveText(k, QStringLiteral("N/A"));
            } else if (hasRow) {
                if (def.scale == 0.0f) {
                    check = m_params.SetParameter(k, 0.0f);
                } else {
                    const float v = valueOfWord(raw[std::size_t(k)], def.scale, true);
                    m_column.setDriveText(
                        k, NumberText::replacedFirst(NumberText::general(v), u',', u'.'));
                    check = m_params.SetParameter(k, v);
                }
            } else {
                check =
                    m_params.SetParameter(k, valueOfWord(raw[std::size_t(k)], def.scale, false));
            }
            allTaken = allTaken && (check == ParamModule::Accepted || !hasRow);
            m_progress.setProgress(k * 100 / n);
            p.yieldToUi();
        }
    }
    p.FlushInput();
    m_outcome.stored = true;
    m_outcome.identical = allTaken;
    return finish(Result::Done);
}

QList<DoubtfulValue> ParamTransfer::valuesOutsideLimits(const std::array<std::uint16_t, 128>& raw,
                                                        int count, float version) const {
    QList<DoubtfulValue> outside;
    for (int k = 0; k < count && k < ParamModule::Count; ++k) {
        const ParamDef& def = m_params.ParamCatalogue[std::size_t(k)];
        // What the setter leaves unchecked: the version word, placeholders, parameters
        // the firmware does not have; and a row without scale (stored as 0).
        const bool hasRow = m_params.FindGridRow(k) != ParamModule::NoMatch;
        if (k == FirmwareIndex || def.isPlaceholder() || version < def.minVersion ||
            (hasRow && def.scale == 0.0f))
            continue;
        const float v = valueOfWord(raw[std::size_t(k)], def.scale, hasRow);
        if (!(v >= def.minValue && v <= def.maxValue))
            outside.append({k, def.name.trimmed(), v, def.minValue, def.maxValue});
    }
    return outside;
}

ParamTransfer::Result ParamTransfer::WriteParameters() {
    if (const std::optional<Result> refused = cannotStart())
        return *refused;
    const int n = wordCount();
    // Every word is checked before the first byte goes out: a block the drive
    // stores half-way would be worse than no write. The version word is the drive's
    // own, whatever the program holds in its row.
    std::array<std::uint16_t, 128> words{};
    for (int k = 0; k < n; ++k) {
        const ParamDef& def = m_params.ParamCatalogue[std::size_t(k)];
        const float value = m_params.GetParameter(k);
        if (k != FirmwareIndex && !ParamModule::wordOf(value, def.scale, &words[std::size_t(k)])) {
            // A placeholder row has no name a user would know; its index says which.
            m_outcome.refusedName =
                def.isPlaceholder() ? QStringLiteral("#%1").arg(k) : def.name.trimmed();
            m_outcome.refusedValue = value;
            return finish(Result::Refused);
        }
    }

    std::array<float, 128> intended{};
    for (int k = 0; k < ParamModule::Count; ++k)
        intended[std::size_t(k)] = m_params.GetParameter(k);

    TransferScope scope(m_busy, m_host);
    ProtocolModule& p = m_protocol;
    if (n > FirmwareIndex) {
        // A drive that stores the version word it is sent must get its own back.
        if (!m_firmwareWord) {
            std::array<std::uint16_t, 128> drive{};
            const Result read = receiveBlock(drive);
            if (read != Result::Done)
                return finish(read);
        }
        words[FirmwareIndex] = *m_firmwareWord;
    }
    p.waitUntil(p.clock().monotonicSeconds(), SettleSeconds);
    p.FlushInput();
    p.SendData(ProtocolModule::StopBurst);
    p.SendData(ProtocolModule::ParamWriteRequest);
    WaitShort();
    p.FlushInput();
    {
        ProgressScope progress(m_progress, m_lang.LangText(TextId::Writing));
        std::uint16_t sum = ProtocolModule::BlockChecksumStart;
        for (int k = 0; k < n; ++k) {
            const std::uint16_t w = words[std::size_t(k)];
            p.SendByte(std::uint8_t(w >> 8));
            p.SendByte(std::uint8_t(w & 0xFF));
            sum = std::uint16_t(sum + w);
            m_progress.setProgress(k * 100 / (n - 1));
            p.yieldToUi();
            if (p.port().lineLost())
                return finish(Result::LineLost);
        }
        p.SendByte(0x00);
        p.SendByte(0x01);
        sum = std::uint16_t(sum + ProtocolModule::BlockTrailer);
        p.SendByte(std::uint8_t(sum >> 8));
        p.SendByte(std::uint8_t(sum & 0xFF));
    }
    WaitShort();
    WaitShort();
    if (p.port().lineLost())
        return finish(Result::LineLost);
    if (m_host.selectedPort() == 0)
        return finish(Result::NoPort);
    const Result read = readSet(words[FirmwareIndex]);
    if (read != Result::Done)
        return read;
    return checkReadBack(words, intended);
}

ParamTransfer::Result ParamTransfer::checkReadBack(const std::array<std::uint16_t, 128>& sent,
                                                   const std::array<float, 128>& intended) {
    // A block the drive refused (a byte lost on the line, a bad checksum) reads back
    // as the drive's old set. The read stored that set; the values the user meant to
    // write go back into the program's column, so the rows that differ show what the
    // drive did not take and a second write can be tried.
    RowCount notTaken;
    for (int k = 0; k < wordCount(); ++k) {
        const ParamDef& def = m_params.ParamCatalogue[std::size_t(k)];
        if (k == FirmwareIndex || m_params.driveVersion() < def.minVersion)
            continue;
        if (std::uint16_t(m_receivedWords[std::size_t(k)]) == sent[std::size_t(k)])
            continue;
        ++(def.isPlaceholder() ? notTaken.hidden : notTaken.shown);
        m_params.SetParameter(k, intended[std::size_t(k)]);
    }
    if (notTaken.total() == 0)
        return finish(Result::Done);
    m_outcome.identical = false;
    m_outcome.notTaken = notTaken;
    return finish(Result::NotTaken);
}
