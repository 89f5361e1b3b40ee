#include "params/ParamModule.h"

#include "lang/LangModule.h"
#include "platform/NumberText.h"
#include "platform/SafeFiles.h"
#include "platform/WarningSink.h"
#include "platform/Win1254.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace {

constexpr float kDefaults[][2] = {
    {0, 1},     {1, 1},     {2, 0.7f},  {3, 0.7f},  {4, 0.7f},  {5, 0.7f},  {6, 0.4f},  {7, 0.5f},
    {8, 0.05f}, {9, 0.1f},  {10, 0.3f}, {11, 0.3f}, {12, 0.3f}, {13, 0.1f}, {14, 0.2f}, {15, 0.4f},
    {16, 1},    {17, 1000}, {18, 380},  {19, 380},  {20, 13},   {21, 0.8f}, {22, 50},   {23, 1430},
    {24, 2},    {25, 25},   {26, 3},    {27, 15},   {28, 0.5f}, {29, 1},    {30, 1000}, {31, 100},
    {32, 500},  {33, 50},   {34, 40},   {35, 80},   {36, 120},  {37, 4},    {38, 0},    {39, 0.5f},
    {40, 100},  {41, 320},  {42, 6500}, {43, 1},    {44, 0},    {45, 0},    {47, 0},    {48, 50},
    {49, 200},  {50, 50},   {51, 150},  {52, 0},    {53, 0},    {54, 0},    {55, 0},    {56, 1},
    {57, 1},    {58, 16},   {59, 0},    {60, 1},    {61, 1},    {65, 29},   {66, 50},   {67, 1},
    {68, 100},  {69, 1},    {70, 1},    {71, 150},  {72, 3},    {73, 0},    {74, 0},    {75, 120},
    {76, 0},    {77, 120},  {78, 1},
};

// Fields of a definition line, after the free label before the first colon.
constexpr int kDefinitionFields = 9;
// Longest definition line taken; a record needs about a hundred bytes.
constexpr qint64 kMaxLineBytes = 64 * 1024;
// Largest definition file read: the shipped ones are about 15 KiB, comments included.
constexpr qint64 kMaxDefinitionBytes = 1024 * 1024;

// Text 0 of a pack names the definition file. A pack can come from anywhere, so
// only a bare file name in the program's folder is taken: a path (absolute, with a
// folder part, "..", a drive letter) would let a pack load any file as the catalogue.
bool isPlainFileName(const QString& name) {
    if (name.trimmed().isEmpty() || name == u"." || name == u"..")
        return false;
    for (QChar c : name)
        if (c == u'/' || c == u'\\' || c == u':' || c.unicode() < 32)
            return false;
    return true;
}

} // namespace

bool ParamDef::isPlaceholder() const {
    const QString trimmed = name.trimmed();
    return trimmed.isEmpty() || trimmed == QStringLiteral("*DUMMY*");
}

ParamModule::ParamModule(LangModule& lang, WarningSink& warnings)
    : m_lang(lang), m_warnings(warnings) {}

void ParamModule::addListener(ParamListener* listener) {
    if (listener && !m_listeners.contains(listener))
        m_listeners.append(listener);
}

void ParamModule::removeListener(ParamListener* listener) {
    m_listeners.removeAll(listener);
}

QString ParamModule::DefinitionLoad::problem(const LangModule& lang) const {
    if (!loaded)
        return lang.LangText(TextId::DefinitionUnreadable).arg(QDir::toNativeSeparators(path));
    if (firstMissing >= 0)
        return lang.LangText(TextId::DefinitionIncomplete)
            .arg(QDir::toNativeSeparators(path))
            .arg(firstMissing);
    if (firstBadLine != 0)
        return lang.LangText(TextId::BadDefinitionLine)
            .arg(QFileInfo(path).fileName())
            .arg(firstBadLine);
    return QString();
}

ParamModule::DefinitionLoad ParamModule::LoadParamDefinitions(const QString& folder) {
    DefinitionLoad result;
    const QString fileName = m_lang.LangText(TextId::DefinitionFile);
    const QString path = QDir(folder).filePath(fileName);
    result.path = path;
    if (!isPlainFileName(fileName))
        return result;
    const SafeFiles::Read read = SafeFiles::readRegular(path, kMaxDefinitionBytes);
    if (!read.ok())
        return result;
    result.loaded = true;
    // Read into a scratch catalogue: a file that leaves an index undefined is refused
    // whole, and the catalogue in use stays as it was.
    std::array<ParamDef, Count> catalogue;
    std::array<bool, Count> defined{};
    short count = 0;

    const QList<QByteArray> lines = read.bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray raw = lines[i];
        const int lineNumber = int(i) + 1;
        if (raw.size() > kMaxLineBytes) {
            if (result.firstBadLine == 0)
                result.firstBadLine = lineNumber;
            continue;
        }
        while (raw.endsWith('\r'))
            raw.chop(1);
        QString line = Win1254::decode(raw);
        const qsizetype comment = line.indexOf(u';');
        if (comment >= 0)
            line.truncate(comment);
        if (line.trimmed().isEmpty())
            continue;
        const QStringList parts = line.split(u':');
        bool ok = parts.size() >= kDefinitionFields + 1;
        int index = -1;
        if (ok) {
            bool found = false;
            const double number = NumberText::leadingNumber(parts[1], &found);
            ok = found && number > -0.5 && number < 127.5;
            if (ok)
                index = int(NumberText::roundHalfEven(number));
        }
        if (!ok) {
            if (result.firstBadLine == 0)
                result.firstBadLine = lineNumber;
            continue;
        }
        ParamDef& def = catalogue[std::size_t(index)];
        def.name = parts[2];
        def.id = parts[3];
        def.unit = parts[4];
        def.minValue = float(NumberText::leadingNumber(parts[5]));
        def.maxValue = float(NumberText::leadingNumber(parts[6]));
        def.spare = float(NumberText::leadingNumber(parts[7]));
        def.scale = float(NumberText::leadingNumber(parts[8]));
        def.minVersion = float(NumberText::leadingNumber(parts[9]));
        defined[std::size_t(index)] = true;
        ++count;
    }
    for (int i = 0; i < Count && result.firstMissing < 0; ++i)
        if (!defined[std::size_t(i)])
            result.firstMissing = i;
    if (result.firstMissing >= 0)
        return result;
    ParamCatalogue = catalogue;
    ParamCount = count;
    m_complete = true;
    return result;
}

float ParamModule::GetParameter(int index) const {
    return validIndex(index) ? m_values[std::size_t(index)] : 0.0f;
}

ParamModule::Check ParamModule::ValidateParamText(int index, const QString& text) const {
    if (!validIndex(index))
        return Accepted;
    const ParamDef& def = ParamCatalogue[std::size_t(index)];
    if (m_driveVersion < def.minVersion || index == 125)
        return Accepted;
    if (def.isPlaceholder())
        return Accepted;
    QString normalised = text;
    NumberText::replaceFirst(normalised, u',', u'.');
    if (!NumberText::isNumeric(normalised))
        return NotANumber;
    const float value = float(NumberText::leadingNumber(normalised));
    if (value < def.minValue)
        return TooSmall;
    if (value > def.maxValue)
        return TooLarge;
    return Accepted;
}

ParamModule::Check ParamModule::SetParameter(int index, float value) {
    return setParameter(index, value, false);
}

ParamModule::Check ParamModule::setParameter(int index, float value, bool retry) {
    if (!validIndex(index))
        return Accepted;
    const ParamDef& def = ParamCatalogue[std::size_t(index)];
    const float previous = m_values[std::size_t(index)];
    Check code = ValidateParamText(index, NumberText::general(value));
    // The retry only puts the stored value back into every control. When that value
    // is itself outside tighter limits loaded since, checking it again would retry
    // for ever, so it is shown as it is.
    if (retry)
        code = Accepted;
    // A value no word holds is refused in rows the limits leave unchecked too, or it
    // would block every later write with no row to mend it in. An infinite value
    // (1e308 read as a float) is out of range, not "not a number".
    else if ((code == Accepted || (code == NotANumber && !std::isnan(value))) &&
             !wordOf(value, def.scale))
        code = OutOfRange;
    const QString title = m_lang.LangText(TextId::Warning);
    switch (code) {
    case TooLarge:
        m_warnings.warn(title, def.name + m_lang.LangText(TextId::ValueTooLarge) +
                                   NumberText::general(def.maxValue) + u' ' + def.unit +
                                   m_lang.LangText(TextId::SentenceEnd));
        setParameter(index, previous, true);
        return code;
    case TooSmall:
        m_warnings.warn(title, def.name + m_lang.LangText(TextId::ValueTooSmall) +
                                   NumberText::general(def.minValue) + u' ' + def.unit +
                                   m_lang.LangText(TextId::SentenceEnd));
        return code;
    case NotANumber:
        m_warnings.warn(title, m_lang.LangText(TextId::ValueNotNumber).arg(def.name));
        return code;
    case OutOfRange:
        m_warnings.warn(title, m_lang.LangText(TextId::ValueOutOfRange)
                                   .arg(def.isPlaceholder() ? QStringLiteral("#%1").arg(index)
                                                            : def.name.trimmed(),
                                        NumberText::general(value)));
        return code;
    default:
        break;
    }
    m_values[std::size_t(index)] = value;
    // A listener may set further parameters (re-entering this setter); iterate a copy.
    const QList<ParamListener*> listeners = m_listeners;
    for (ParamListener* listener : listeners)
        listener->parameterStored(index, def, value);
    return Accepted;
}

bool ParamModule::wordOf(float value, float scale, std::uint16_t* word) {
    const float product = value * scale;
    if (!std::isfinite(product))
        return false;
    // The range is checked on the rounded double: a finite float can be far beyond
    // any integer type, and converting it would be undefined.
    const double rounded = std::nearbyint(double(product));
    if (!(rounded >= -32768.0 && rounded <= 65535.0))
        return false;
    const int r = int(rounded);
    if (word)
        *word = std::uint16_t(r < 0 ? r + 65536 : r);
    return true;
}

int ParamModule::indexOfId(const QString& id) const {
    for (int i = 0; i < Count; ++i)
        if (ParamCatalogue[std::size_t(i)].id == id)
            return i;
    return -1;
}

int ParamModule::FindParamById(const QString& id) const {
    const int index = indexOfId(id);
    return index < 0 ? NoMatch : index;
}

int ParamModule::FindGridRow(int index) const {
    return m_gridRowLookup ? m_gridRowLookup(index) : NoMatch;
}

QList<ParamModule::Default> ParamModule::factoryDefaults() {
    QList<Default> set;
    for (const auto& entry : kDefaults)
        set.append({int(entry[0]), entry[1]});
    for (int i = 79; i < Count; ++i)
        set.append({i, -1.0f});
    return set;
}

void ParamModule::LoadDefaultParameters() {
    for (const Default& entry : factoryDefaults())
        SetParameter(entry.index, entry.value);
}

float ParamModule::valueById(const QString& id, float fallback) const {
    const int index = indexOfId(id);
    return index < 0 ? fallback : m_values[std::size_t(index)];
}

bool ParamModule::setById(const QString& id, float value) {
    const int index = indexOfId(id);
    if (index < 0)
        return false;
    SetParameter(index, value);
    return true;
}
