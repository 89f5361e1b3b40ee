#include "params/ParamFiles.h"

#include "lang/FixedTexts.h"
#include "lang/LangModule.h"
#include "params/ParamModule.h"
#include "platform/NumberText.h"
#include "platform/Prompts.h"
#include "platform/SafeFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

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

ParamFiles::ParamFiles(ParamModule& params, const LangModule& lang, Prompts& prompts, QString title)
    : m_params(params), m_lang(lang), m_prompts(prompts), m_title(std::move(title)) {}

QString ParamFiles::failureText(const QString& path) {
    return FixedTexts::fileNotOpened(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

ParamFiles::Result ParamFiles::fail(const QString& path) {
    m_prompts.critical(m_title, failureText(path));
    return Result::Failed;
}

ParamFiles::Result ParamFiles::OpenParamFile() {
    const QString path = m_prompts.openFileName(m_lang.LangText(TextId::MenuOpen), Pattern);
    if (path.isEmpty())
        return Result::Cancelled;
    return load(path);
}

ParamFiles::Result ParamFiles::SaveParamFile() {
    QString path = m_prompts.saveFileName(m_lang.LangText(TextId::MenuSave), Pattern);
    if (path.isEmpty())
        return Result::Cancelled;
    // A name typed without an extension gets ".quv", so the open dialog lists the file.
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".quv");
    const QFileInfo info(path);
    if (info.exists() && !info.isDir()) {
        const QString question = m_lang.LangText(TextId::FileExists)
                                     .arg(QDir::toNativeSeparators(info.absoluteFilePath()));
        if (!m_prompts.confirm(m_title, question))
            return Result::Cancelled;
    }
    return save(path);
}

ParamFiles::Result ParamFiles::load(const QString& path) {
    const SafeFiles::Read read = SafeFiles::readRegular(path, MaxFileBytes);
    if (!read.ok())
        return fail(path);
    qsizetype pos = 0;
    QByteArray line;
    for (int i = 0; i < ParamModule::Count; ++i) {
        if (readLine(read.bytes, pos, line) != LineRead::Line)
            return fail(path);
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
    return textOf(m_params.ParamValues);
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
        return fail(path);
    QSaveFile file(path);
    // Unbuffered, so a short write (disk full, size limit) shows in write()'s count:
    // through the buffer Qt 6.4 reported success and swapped a truncated file in.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(path);
    const QByteArray text = fileText();
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return fail(path);
    }
    if (!file.commit())
        return fail(path);
    m_params.markKept();
    m_params.lastFile = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    return Result::Done;
}
