// The parameter block as the line hands it to a read or to a write's read-back, with
// the shipped catalogue. Input: a flags byte (bit 0: long block of newer firmware,
// bit 1: a write instead of a read), two bytes giving the byte after which the line
// hangs up (0xFFFF: never), then what the drive answers after "D".
#include "ShippedCatalogue.h"
#include "link/ProtocolModule.h"
#include "support/FakeLinkPort.h"
#include "support/FakeTransferHost.h"
#include "support/RecordingPrompts.h"
#include "transfer/ParamTransfer.h"

#include <optional>

namespace {

// The block the answer carries after the leading byte, when it arrives whole before
// the line hangs up and passes its checksum.
std::optional<std::array<std::uint16_t, 128>>
expectedBlock(const QByteArray& answer, qint64 hangupAt, int n, bool longBlock) {
    const qint64 usable = hangupAt < 0 ? answer.size() : std::min<qint64>(answer.size(), hangupAt);
    if (usable < 1 + 2 * n + (longBlock ? 4 : 0))
        return std::nullopt;
    auto word = [&answer](int i) {
        return std::uint16_t(std::uint8_t(answer[1 + 2 * i]) * 256 +
                             std::uint8_t(answer[2 + 2 * i]));
    };
    std::array<std::uint16_t, 128> words{};
    std::uint16_t sum = 33;
    for (int k = 0; k < n; ++k) {
        words[std::size_t(k)] = word(k);
        sum = std::uint16_t(sum + word(k));
    }
    if (longBlock && std::uint16_t(sum + word(n)) != word(n + 1))
        return std::nullopt;
    return words;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    const bool longBlock = data[0] & 1;
    const bool write = data[0] & 2;
    const int hangup = data[1] * 256 + data[2];
    const qint64 hangupAt = hangup == 0xFFFF ? -1 : hangup;
    const QByteArray answer = fuzz::bytes(data + 3, size - 3);

    ManualClock clock;
    FakeLinkPort port(clock);
    port.freePorts = {1};
    RecordingPrompts prompts;
    LangModule lang{QString()};
    ParamModule params(lang, prompts);
    params.ParamCatalogue = fuzz::shippedCatalogue();
    params.setGridRowLookup([&params](int k) {
        return params.ParamCatalogue[std::size_t(k)].isPlaceholder() ? ParamModule::NoMatch : k + 1;
    });
    params.LoadDefaultParameters();

    FakeHost host;
    host.version = longBlock;
    ProtocolModule protocol(
        port, clock, [&] { clock.advance(0.0005); }, [&](double s) { clock.advance(s); });
    ParamTransfer transfer(protocol, params, lang, host, host, host);
    port.open(1);
    const int n = longBlock ? ProtocolModule::LongBlockWords : ProtocolModule::ShortBlockWords;
    if (write) {
        // A write sends back the version word of the drive's set read before it.
        DriveEmulator drive;
        drive.setFirmware(longBlock ? 830 : 826);
        port.drive = &drive;
        FUZZ_CHECK(transfer.ReadDriveSet() == ParamTransfer::Result::Done);
        port.drive = nullptr;
        port.rx.clear();
        port.bytesRead = 0;
    }
    port.hangupAfter = hangupAt;
    const auto before = params.ParamValues;
    prompts.messages.clear();

    // The answer comes after the read request; in a write, after the block was sent.
    qint64 blockBytes = write ? -1 : 0; // -1 until "U" was sent
    port.onWrite = [&](const QByteArray& bytes) {
        if (write && blockBytes < 0) {
            if (bytes == ProtocolModule::ParamWriteRequest)
                blockBytes = 0;
            return;
        }
        if (write && blockBytes < 2 * n + 4) {
            blockBytes += bytes.size();
            return;
        }
        if (bytes == ProtocolModule::ParamReadRequest && port.bytesRead == 0)
            port.rx = answer; // once: a repeated request does not replay it
    };

    const ParamTransfer::Result result =
        write ? transfer.WriteParameters() : transfer.ReadParameters();
    const ParamTransfer::Outcome& outcome = transfer.outcome();
    const auto block = expectedBlock(answer, hangupAt, n, longBlock);
    FUZZ_CHECK(result == outcome.result);
    FUZZ_CHECK(result != ParamTransfer::Result::Busy && result != ParamTransfer::Result::NoPort);
    FUZZ_CHECK(host.commandsEnabled && !host.progressShown);
    // What the program holds afterwards: nothing changes unless the drive's set was
    // stored, and then only from a whole block that passed its checksum.
    if (!outcome.stored) {
        FUZZ_CHECK(params.ParamValues == before);
        return 0;
    }
    FUZZ_CHECK(block);
    FUZZ_CHECK(result == ParamTransfer::Result::Done || result == ParamTransfer::Result::NotTaken);
    FUZZ_CHECK((result == ParamTransfer::Result::NotTaken) == (outcome.notTaken.total() > 0));
    FUZZ_CHECK(!outcome.identical ||
               (prompts.messages.isEmpty() && result == ParamTransfer::Result::Done));
    const float version = params.driveVersion;
    for (int k = 0; k < ParamModule::Count; ++k) {
        const ParamDef& def = params.ParamCatalogue[std::size_t(k)];
        const float now = params.ParamValues[std::size_t(k)];
        const float was = before[std::size_t(k)];
        if (now == was)
            continue;
        // Only rows of the block change, and then to what the drive said (or to 0
        // where its firmware lacks the parameter) ...
        FUZZ_CHECK(k < n);
        const bool hasRow = !def.isPlaceholder();
        const float word = ParamTransfer::valueOfWord((*block)[std::size_t(k)], def.scale, hasRow);
        FUZZ_CHECK(now == word || (now == 0.0f && (version < def.minVersion || def.scale == 0.0f)));
        // ... and a write keeps every value the user meant but those the drive decides:
        // its version word, the rows its firmware lacks, the values a word rounds.
        if (write) {
            std::uint16_t sent = 0;
            FUZZ_CHECK(k == ParamTransfer::FirmwareIndex || version < def.minVersion ||
                       (ParamTransfer::rawWord(was, def.scale, &sent) &&
                        sent == (*block)[std::size_t(k)]));
        }
    }
    return 0;
}
