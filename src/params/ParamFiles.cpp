#include "params/ParamFiles.h"

#include "lang/FixedTexts.h"
#include "params/ParamModule.h"
#include "platform/NumberText.h"
#include "platform/SafeFiles.h"

#include <QDir>
#include <QFileInfo>

namespace {

enum class LineRead { Line, End, NotText };

// Takes one line ending in CR LF, LF or CR (or at the end of the text) from `text` at
// `pos`. A line longer than MaxLineLength or a NUL byte means no text file.
LineRead readLine(const QByteArray& text, qsizetype& pos, QByteArray& line) {
    if (pos >= text.size())
        return LineRead::End;
    qsizetype end = pos;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') {
        if (text[end] == '\0' || end - pos >= ParamFiles::MaxLineLength)
            return LineRead::NotText;
        ++end;
    }
    line = text.mid(pos, end - pos);
    pos = end;
    if (pos < text.size() && text[pos] == '\r')
        ++pos;
    if (pos < text.size() && text[pos] == '\n')
        ++pos;
    return LineRead::Line;
}

} // namespace

QString ParamFiles::failureText(const QString& path) {
    return FixedTexts::fileNotOpened(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

ParamFiles::Result ParamFiles::load(const QString& path) {
    const SafeFiles::Read read = SafeFiles::readRegular(path, MaxFileBytes);
    if (!read.ok())
        return Result::Failed;
    qsizetype pos = 0;
    QByteArray line;
    for (int i = 0; i < ParamModule::Count; ++i) {
        if (readLine(read.bytes, pos, line) != LineRead::Line)
            return Result::Failed;
        // The firmware word is the drive's own; a file's copy of it means nothing.
        if (i == FirmwareIndex)
            continue;
        m_params.SetParameter(i, float(NumberText::leadingNumber(QString::fromLatin1(line))));
    }
    m_params.markKept();
    m_params.lastFile = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    return Result::Done;
}

QByteArray ParamFiles::fileText() const {
    return textOf(m_params.ParamValues());
}

QByteArray ParamFiles::textOf(const std::array<float, 128>& values) {
    QByteArray text;
    for (const float value : values) {
        // generalC is the general form with "." whatever the locale: the same as the
        // locale's form with its first comma turned into a point, without depending
        // on how the locale writes its minus sign.
        text += NumberText::generalC(value).toLatin1();
        text += "\r\n";
    }
    return text;
}

ParamFiles::Result ParamFiles::save(const QString& path) {
    if (QFileInfo(path).isDir())
        return Result::Failed;
    if (!SafeFiles::writeWhole(path, fileText()))
        return Result::Failed;
    m_params.markKept();
    m_params.lastFile = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    return Result::Done;
}
