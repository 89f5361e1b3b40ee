#pragma once
// Reads a PDF as a real reader does, through poppler's command-line tools: the text
// of each page, the boxes of its words, a page as a picture.
#include <QImage>
#include <QProcess>
#include <QRectF>
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

struct Word {
    int page;
    QRectF box; // in points from the page's top-left corner
    QString text;
};

// Every word with its box, and the size of the pages in points.
inline QList<Word> words(const QString& path, QSizeF* pageSize = nullptr) {
    const QString html = QString::fromUtf8(runTool("pdftotext", {"-bbox", path, "-"}));
    QList<Word> out;
    int page = -1;
    for (const QString& line : html.split(u'\n')) {
        const QString t = line.trimmed();
        auto attr = [&t](const char* name) {
            const QString key = QString::fromLatin1(name) + QStringLiteral("=\"");
            const qsizetype at = t.indexOf(key) + key.size();
            return t.mid(at, t.indexOf(u'"', at) - at).toDouble();
        };
        if (t.startsWith(QStringLiteral("<page "))) {
            ++page;
            if (pageSize)
                *pageSize = QSizeF(attr("width"), attr("height"));
        } else if (t.startsWith(QStringLiteral("<word "))) {
            const QRectF box(QPointF(attr("xMin"), attr("yMin")),
                             QPointF(attr("xMax"), attr("yMax")));
            out.append({page, box, t.mid(t.indexOf(u'>') + 1).section(u'<', 0, 0)});
        }
    }
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
