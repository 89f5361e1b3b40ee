// Fuzz targets, one per input a user or the line can hand the program, in one table.
// Each executable runs the target its build names (LIFTDRIVE_FUZZ_TARGET): under
// libFuzzer, or (LIFTDRIVE_FUZZ_REPLAY) over its stored inputs, so a fault found once
// stays found in every build. A check that fails aborts: both report it.
#include "emulator/DriveEmulator.h"
#include "lang/LangModule.h"
#include "link/ProtocolModule.h"
#include "monitor/MonitorFrame.h"
#include "params/ParamFiles.h"
#include "params/ParamModule.h"
#include "platform/NumberText.h"
#include "support/FakeLinkPort.h"
#include "support/FakeTransferHost.h"
#include "support/RecordingPrompts.h"
#include "transfer/ParamTransfer.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__,          \
                         __LINE__);                                                                \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace {

// A folder that lives as long as the process, for inputs the program reads from files.
QString scratch() {
    static QTemporaryDir dir;
    return dir.path();
}

QString writeFile(const QString& folder, const QString& name, const QByteArray& contents) {
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(contents) == contents.size());
    return path;
}

// The catalogue of the shipped English definition file (limits, scales, versions).
const std::array<ParamDef, ParamModule::Count>& shippedCatalogue() {
    static const std::array<ParamDef, ParamModule::Count> catalogue = [] {
        RecordingPrompts prompts;
        LangModule lang(QStringLiteral(LIFTDRIVE_DATA_DIR));
        lang.setText(0, QStringLiteral("params-en.def"));
        ParamModule params(lang, prompts);
        const auto definitions = params.LoadParamDefinitions(QStringLiteral(LIFTDRIVE_DATA_DIR));
        FUZZ_CHECK(definitions && definitions.firstBadLine == 0);
        return params.ParamCatalogue;
    }();
    return catalogue;
}

// Language packs: text 0 names the definition file then loaded as the catalogue, and
// only a file of the program's own folder may be taken.
void langpack(const QByteArray& input) {
    static const QString folder = [] {
        QDir(scratch()).mkpath(QStringLiteral("program"));
        writeFile(scratch(), QStringLiteral("outside.def"), "P001:1:Outside:out::0:1:0:1:0\r\n");
        return QDir(scratch()).filePath(QStringLiteral("program"));
    }();
    writeFile(folder, QStringLiteral("fuzz.lng"), input);
    LangModule lang(folder);
    const LangModule::PackLoad pack = lang.LoadLanguagePack(QStringLiteral("fuzz.lng"));
    if (!pack.isPack())
        return;
    pack.problem(lang);
    for (int i = -1; i <= LangModule::TextCount; ++i)
        lang.LangText(i);
    RecordingPrompts prompts;
    ParamModule params(lang, prompts);
    const ParamModule::DefinitionLoad definitions = params.LoadParamDefinitions(folder);
    definitions.problem(lang);
    if (definitions) {
        const QString name = lang.LangText(0);
        const QFileInfo loaded(QDir(folder).filePath(name));
        FUZZ_CHECK(loaded.isFile() && loaded.absoluteDir() == QDir(folder));
        FUZZ_CHECK(!name.contains(u'/') && !name.contains(u'\\') && !name.contains(u':'));
        params.LoadDefaultParameters();
    }
}

// Definition files: the factory set then goes through the setter and is converted
// to words as a write would.
void deffile(const QByteArray& input) {
    writeFile(scratch(), QStringLiteral("fuzz.def"), input);
    RecordingPrompts prompts;
    LangModule lang(scratch());
    lang.setText(0, QStringLiteral("fuzz.def"));
    ParamModule params(lang, prompts);
    const ParamModule::DefinitionLoad definitions = params.LoadParamDefinitions(scratch());
    FUZZ_CHECK(definitions.loaded);
    // A line over 64 KiB is a bad line, and bad lines are reported.
    const QList<QByteArray> lines = input.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].size() > 65536)
            FUZZ_CHECK(definitions.firstBadLine != 0 && !definitions.problem(lang).isEmpty());
    params.LoadDefaultParameters();
    for (int k = 0; k < ParamModule::Count; ++k) {
        const ParamDef& def = params.ParamCatalogue[std::size_t(k)];
        params.SetParameter(k, def.maxValue);
        params.SetParameter(k, def.minValue);
        params.ValidateParamText(k, def.name);
        std::uint16_t word = 0;
        if (ParamModule::wordOf(params.GetParameter(k), def.scale, &word))
            FUZZ_CHECK(!std::isnan(ParamTransfer::valueOfWord(word, def.scale, true)));
        params.FindParamById(def.id);
    }
}

// Parameter files: read through the setter, converted to words, saved and read
// again; the virtual drive reads the same file with its own strict reader.
void quv(const QByteArray& input) {
    const QString path = writeFile(scratch(), QStringLiteral("fuzz.quv"), input);
    RecordingPrompts prompts;
    LangModule lang(scratch());
    ParamModule params(lang, prompts);
    params.ParamCatalogue = shippedCatalogue();
    params.LoadDefaultParameters();
    ParamFiles files(params);
    const ParamFiles::Result result = files.load(path);
    FUZZ_CHECK(result != ParamFiles::Result::Cancelled);
    QHash<int, double> scales;
    for (int k = 0; k < ParamModule::Count; ++k) {
        const ParamDef& def = params.ParamCatalogue[std::size_t(k)];
        scales.insert(k, double(def.scale));
        if (ParamModule::wordOf(params.GetParameter(k), def.scale, nullptr))
            FUZZ_CHECK(std::isfinite(params.GetParameter(k)));
    }
    if (result == ParamFiles::Result::Done) {
        const QString again = writeFile(scratch(), QStringLiteral("again.quv"), files.fileText());
        FUZZ_CHECK(files.load(again) == ParamFiles::Result::Done);
    }
    DriveEmulator drive;
    const auto before = drive.words();
    QString why;
    if (!drive.loadQuv(path, scales, &why))
        FUZZ_CHECK(!why.isEmpty() && drive.words() == before); // refused whole
}

// The monitor byte stream: bytes 0-1 give the byte after which the line hangs up
// (0xFFFF: never), byte 2 the size of the pieces the rest arrives in between ticks.
// The tick drains whole frames without waiting, and stops at its bound.
void monitor(const QByteArray& input) {
    if (input.size() < 3)
        return;
    const int hangupAt = std::uint8_t(input[0]) * 256 + std::uint8_t(input[1]);
    const QByteArray stream = input.mid(3);
    FakeLine line;
    auto& [clock, port, yields, protocol] = line;
    port.hangupAfter = hangupAt == 0xFFFF ? -1 : hangupAt;
    MonitorState state;
    const int piece = std::max(1, int(std::uint8_t(input[2])));
    for (qsizetype released = 0; released < stream.size() + piece; released += piece) {
        if (released > 0)
            port.rx += stream.mid(released - piece, piece);
        const double before = clock.monotonicSeconds();
        const qint64 readBefore = port.bytesRead;
        const bool arrived = MonitorFrame::drain(protocol, state);
        FUZZ_CHECK(clock.monotonicSeconds() == before);
        const MonitorFrame::Texts texts = MonitorFrame::labelTexts(state, arrived);
        FUZZ_CHECK(!texts.speed.isEmpty() && !texts.accel.isEmpty() && !texts.current.isEmpty());
        FUZZ_CHECK(state.SpeedRaw >= 0 && state.SpeedRaw <= 32768);
        FUZZ_CHECK(state.AccelRaw >= 0 && state.AccelRaw <= 65535);
        FUZZ_CHECK(port.bytesAvailable() < MonitorFrame::Size || port.lineLost() ||
                   port.bytesRead - readBefore >= MonitorFrame::MaxDrainBytes);
    }
    FUZZ_CHECK(yields == 0);
}

// The block the answer carries after the leading byte, when it arrives whole before
// the line hangs up and passes its checksum.
std::optional<std::array<std::uint16_t, 128>> wholeBlock(const QByteArray& answer, qint64 hangupAt,
                                                         int n, bool longBlock) {
    const qint64 usable = hangupAt < 0 ? answer.size() : std::min<qint64>(answer.size(), hangupAt);
    if (usable < 1 + 2 * n + (longBlock ? 4 : 0))
        return std::nullopt;
    auto word = [&answer](int i) {
        return std::uint16_t(std::uint8_t(answer[1 + 2 * i]) * 256 +
                             std::uint8_t(answer[2 + 2 * i]));
    };
    std::array<std::uint16_t, 128> words{};
    std::uint16_t sum = ProtocolModule::BlockChecksumStart;
    for (int k = 0; k < n; ++k)
        sum = std::uint16_t(sum + (words[std::size_t(k)] = word(k)));
    if (longBlock && std::uint16_t(sum + word(n)) != word(n + 1))
        return std::nullopt;
    return words;
}

// The parameter block as the line hands it to a read or to a write's read-back, with
// the shipped catalogue. Byte 0: bit 0 a long block of newer firmware, bit 1 a write
// (after a read of the drive's set) instead of a read; bytes 1-2: the byte after
// which the line hangs up (0xFFFF: never); then what the drive answers after "D".
//
// Every outcome a drive can cause is legitimate; what must hold is what the program
// holds afterwards: nothing changes unless the drive's set was stored, and then only
// from a whole block that passed its checksum, only rows of the block, each to what
// the drive said. A write keeps every value the user meant but those the drive
// decides (its version word, the rows its firmware lacks), and reports as not taken
// exactly when some row read back differs from what was sent.
void paramblock(const QByteArray& input) {
    if (input.size() < 3)
        return;
    const bool longBlock = input[0] & 1;
    const bool write = input[0] & 2;
    const int hangup = std::uint8_t(input[1]) * 256 + std::uint8_t(input[2]);
    const qint64 hangupAt = hangup == 0xFFFF ? -1 : hangup;
    const QByteArray answer = input.mid(3);
    const int n = longBlock ? ProtocolModule::LongBlockWords : ProtocolModule::ShortBlockWords;

    FakeLine line;
    auto& [clock, port, yields, protocol] = line;
    RecordingPrompts prompts;
    LangModule lang{QString()};
    ParamModule params(lang, prompts);
    params.ParamCatalogue = shippedCatalogue();
    params.setGridRowLookup([&params](int k) {
        return params.ParamCatalogue[std::size_t(k)].isPlaceholder() ? ParamModule::NoMatch : k + 1;
    });
    params.LoadDefaultParameters();
    FakeHost host;
    host.version = longBlock;
    ParamTransfer transfer(protocol, params, lang, host, host, host);
    if (write) {
        DriveEmulator drive;
        drive.setFirmware(longBlock ? 830 : 826);
        port.drive = &drive;
        FUZZ_CHECK(transfer.ReadDriveSet() == ParamTransfer::Result::Done);
        port.drive = nullptr;
        port.rx.clear();
        port.bytesRead = 0;
    }
    port.hangupAfter = hangupAt;
    // The answer comes after the read request; in a write, after the block was sent.
    qint64 blockBytes = write ? -1 : 0; // -1 until "U" was sent
    port.onWrite = [&](const QByteArray& bytes) {
        if (blockBytes < 0)
            blockBytes = bytes == ProtocolModule::ParamWriteRequest ? 0 : -1;
        else if (write && blockBytes < 2 * n + 4)
            blockBytes += bytes.size();
        else if (bytes == ProtocolModule::ParamReadRequest && port.bytesRead == 0)
            port.rx = answer; // once: a repeated request does not replay it
    };
    const auto before = params.ParamValues();
    const ParamTransfer::Result result =
        write ? transfer.WriteParameters() : transfer.ReadParameters();
    const ParamTransfer::Outcome& outcome = transfer.outcome();
    FUZZ_CHECK(result == outcome.result && result != ParamTransfer::Result::Busy &&
               result != ParamTransfer::Result::NoPort);
    FUZZ_CHECK(host.commandsEnabled && !host.progressShown);
    if (!outcome.stored) {
        FUZZ_CHECK(params.ParamValues() == before);
        return;
    }
    const auto block = wholeBlock(answer, hangupAt, n, longBlock);
    FUZZ_CHECK(block);
    FUZZ_CHECK((result == ParamTransfer::Result::NotTaken) == (outcome.notTaken.total() > 0));
    FUZZ_CHECK(result == ParamTransfer::Result::Done || outcome.notTaken.total() > 0);
    const float version = params.driveVersion();
    for (int k = 0; k < ParamModule::Count; ++k) {
        const ParamDef& def = params.ParamCatalogue[std::size_t(k)];
        const float now = params.ParamValues()[std::size_t(k)];
        const float was = before[std::size_t(k)];
        const std::uint16_t word = (*block)[std::size_t(k)];
        std::uint16_t sent = 0;
        const bool driveDecides = k == ParamTransfer::FirmwareIndex || version < def.minVersion;
        if (write && !driveDecides)
            FUZZ_CHECK(now == was || (ParamModule::wordOf(was, def.scale, &sent) && sent == word));
        if (now == was)
            continue;
        FUZZ_CHECK(k < n);
        FUZZ_CHECK(now == ParamTransfer::valueOfWord(word, def.scale, !def.isPlaceholder()) ||
                   (now == 0.0f && (version < def.minVersion || def.scale == 0.0f)));
    }
}

// Number text: byte 0 picks the locale (a point or a decimal comma); the rest is
// the text, and its first four bytes also serve as a single-precision value.
void numbertext(const QByteArray& input) {
    if (input.isEmpty())
        return;
    QLocale::setDefault((input[0] & 1) ? QLocale(QLocale::Turkish, QLocale::Turkey) : QLocale::c());
    const QString text = QString::fromLatin1(input.mid(1));
    bool found = false;
    const double leading = NumberText::leadingNumber(text, &found);
    FUZZ_CHECK((found || leading == 0.0) && !std::isnan(leading));
    NumberText::roundHalfEven(leading);
    const float typed = NumberText::typedValue(text);
    NumberText::general(typed);
    // A typed text that the check takes as a number reads as a number (the setter
    // checks the first and stores the second).
    const QString typedText = NumberText::replacedFirst(text, u',', u'.');
    if (NumberText::isNumeric(typedText)) {
        bool typedFound = false;
        NumberText::leadingNumber(typedText, &typedFound);
        FUZZ_CHECK(typedFound);
    }
    for (double v : {leading, double(typed)}) {
        NumberText::pattern2(v);
        NumberText::pattern3(v, false);
        NumberText::pattern1to3(v);
    }
    if (input.size() < 5)
        return;
    float f = 0.0f;
    std::memcpy(&f, input.constData() + 1, sizeof f);
    if (std::isfinite(f)) {
        // What a parameter file holds reads back as the value on 7 digits, and the
        // locale's form reads back through the locale.
        bool again = false;
        const double back = NumberText::leadingNumber(NumberText::generalC(f), &again);
        FUZZ_CHECK(again);
        FUZZ_CHECK(std::fabs(back - double(f)) <= 1e-6 * std::fabs(double(f)) + 1e-300 ||
                   std::fabs(double(f)) < 1e-37);
        double parsed = 0.0;
        FUZZ_CHECK(NumberText::parseLocale(NumberText::general(f), &parsed));
    }
    NumberText::pattern2(double(f));
    NumberText::roundHalfEven(double(f));
}

using Target = void (*)(const QByteArray&);
struct NamedTarget {
    const char* name;
    Target run;
};
constexpr NamedTarget targets[] = {
    {"langpack", langpack}, {"deffile", deffile},       {"quv", quv},
    {"monitor", monitor},   {"paramblock", paramblock}, {"numbertext", numbertext}};

Target selected() {
    for (const NamedTarget& t : targets)
        if (std::strcmp(t.name, LIFTDRIVE_FUZZ_TARGET) == 0)
            return t.run;
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Target run = selected();
    run(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}

#ifdef LIFTDRIVE_FUZZ_REPLAY
// Every file in the folders (or the files) named on the command line, in sorted order.
int main(int argc, char* argv[]) {
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(arg).isDir()) {
            QDirIterator it(arg, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext())
                files << it.next();
        } else if (QFileInfo(arg).isFile()) {
            files << arg;
        }
    }
    std::sort(files.begin(), files.end());
    if (files.isEmpty()) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    for (const QString& path : files) {
        QFile file(path);
        std::fprintf(stderr, "%s\n", qPrintable(path));
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        const QByteArray data = file.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(data.constData()),
                               std::size_t(data.size()));
    }
    std::printf("%lld inputs replayed\n", static_cast<long long>(files.size()));
    return 0;
}
#endif
