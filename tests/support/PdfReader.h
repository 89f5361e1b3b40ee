#pragma once
// Reads a PDF as a real reader does, through poppler's command-line tools: the text
// of each page, a page as a picture.
#include <QImage>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace PdfReader {

inline QByteArray runTool(const QString& tool, const QStringList& args) {
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QByteArray();
    return process.readAllStandardOutput();
}

// The text of every page in reading layout; empty when the file is no PDF.
inline QStringList pages(const QString& path) {
    QStringList out = QString::fromUtf8(runTool("pdftotext", {"-layout", path, "-"})).split(u'\f');
    if (!out.isEmpty() && out.last().trimmed().isEmpty())
        out.removeLast();
    return out;
}

// Page `page` (0-based) as a picture at `dpi`.
inline QImage picture(const QString& path, int page, int dpi) {
    QTemporaryDir dir;
    const QString prefix = dir.filePath("page");
    runTool("pdftoppm", {"-r", QString::number(dpi), "-f", QString::number(page + 1), "-l",
                         QString::number(page + 1), "-singlefile", "-png", path, prefix});
    return QImage(prefix + ".png");
}

} // namespace PdfReader
