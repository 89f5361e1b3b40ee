#include "lang/LangModule.h"

#include "lang/FixedTexts.h"
#include "platform/NumberText.h"
#include "platform/SafeFiles.h"
#include "platform/Win1254.h"

#include <QDir>
#include <algorithm>
#include <cmath>

namespace {

// Splits file bytes into lines without their CR LF (a bare LF ends a line as well).
QList<QByteArray> splitLines(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return lines;
}

} // namespace

LangModule::LangModule(QString folder) : m_folder(std::move(folder)) {}

QString LangModule::PackLoad::problem(const LangModule& lang) const {
    return lang.LangText(TextId::BadPackLine).arg(fileName).arg(firstBadLine);
}

QString LangModule::LangText(int index) const {
    if (index < 0 || index >= TextCount)
        return QString();
    const QString& text = m_texts[std::size_t(index)];
    return text.isEmpty() ? FixedTexts::fallback(TextId(index)) : text;
}

bool LangModule::hasPackText(int index) const {
    return index >= 0 && index < TextCount && !m_texts[std::size_t(index)].isEmpty();
}

QString LangModule::LangText(TextId id) const {
    return LangText(int(id));
}

void LangModule::setText(int index, const QString& text) {
    if (index >= 0 && index < TextCount)
        m_texts[std::size_t(index)] = text;
}

QStringList LangModule::packFiles() const {
    QStringList names;
    const QDir dir(m_folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        // Exactly ".lng" at the end, case-sensitive: "x.LNG" and "x.lng.bak" are no packs.
        if (name.endsWith(QStringLiteral(".lng"), Qt::CaseSensitive))
            names << name;
    }
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.compare(b) < 0; });
    return names;
}

bool LangModule::FindLanguagePacks() {
    m_packs.clear();
    const QStringList names = packFiles();
    if (names.isEmpty())
        return false;
    // The menu has five entries; further packs in sorted order are not offered.
    // Their bad lines are reported when a pack is chosen, not here.
    for (const QString& name : names.mid(0, MenuEntries))
        m_packs.append({name, LoadLanguagePack(name).language});
    return true;
}

LangModule::PackLoad LangModule::LoadLanguagePack(const QString& fileName) {
    PackLoad result;
    result.fileName = fileName;
    // Packs are a few dozen KiB; anything far larger, or no regular file, is no pack.
    constexpr qint64 maxPackBytes = 1 << 20;
    const SafeFiles::Read read =
        SafeFiles::readRegular(QDir(m_folder).filePath(fileName), maxPackBytes);
    if (!read.ok())
        return result;
    const QList<QByteArray> lines = splitLines(read.bytes);
    if (lines.isEmpty() || Win1254::decode(lines[0]) != Header)
        return result;
    result.language = lines.size() > 1 ? Win1254::decode(lines[1]) : QString();

    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QString line = Win1254::decode(lines[i]);
        const qsizetype hash = line.indexOf(u'#');
        bool ok = hash >= 0;
        int index = -1;
        if (ok) {
            bool found = false;
            const double number = NumberText::leadingNumber(QStringView(line).left(hash), &found);
            ok = found && std::isfinite(number) && number > -0.5 && number < TextCount - 0.5;
            if (ok)
                index = int(NumberText::roundHalfEven(number));
        }
        if (!ok) {
            if (result.firstBadLine == 0)
                result.firstBadLine = int(i) + 1;
            continue;
        }
        m_texts[std::size_t(index)] = line.mid(hash + 1);
    }
    return result;
}
