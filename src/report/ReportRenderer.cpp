#include "report/ReportRenderer.h"

#include "lang/LangModule.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>

namespace {

const QColor kInk(0, 0, 0);
const QColor kRule(120, 120, 120);
const QColor kHeaderFill(225, 230, 238);
const QColor kDefaultFill(255, 243, 205); // a row whose value is not the factory's
const QColor kDriveInk(200, 0, 0);        // a value that is not the drive's
const QColor kMuted(110, 110, 110);

// Lines a text of the cover may take before the rest is cut with an ellipsis.
constexpr int kSiteLines = 4;
constexpr int kShortLines = 2;
constexpr int kNoteLines = 12;

QFont font(double points, bool bold = false) {
    QFont f = ReportRenderer::textFont();
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

using Op = std::function<void(QPainter&)>;

// The pages being filled, top to bottom, in the device's units.
class Pages {
public:
    Pages(QPaintDevice& device, double top) : m_device(device), m_top(top) {
        m_width = device.width();
        m_height = device.height();
        newPage();
    }

    QPaintDevice& device() const { return m_device; }
    double width() const { return m_width; }
    double y() const { return m_y; }
    int page() const { return int(m_pages.size()) - 1; }
    void advance(double dy) { m_y += dy; }
    bool fits(double h) const { return m_y + h <= m_height; }
    bool atTop() const { return m_y <= m_top; }
    void newPage() {
        m_pages.append(QList<Op>());
        m_y = m_top;
    }
    // A new page unless `h` still fits on this one.
    void keep(double h) {
        if (!fits(h) && !atTop())
            newPage();
    }
    void add(Op op) { m_pages.last().append(std::move(op)); }
    const QList<QList<Op>>& pages() const { return m_pages; }
    double pt(double points) const { return points * m_device.logicalDpiY() / 72.0; }

private:
    QPaintDevice& m_device;
    double m_top;
    double m_width = 0;
    double m_height = 0;
    double m_y = 0;
    QList<QList<Op>> m_pages;
};

// `text` broken into lines of at most `width`; past `maxLines` the rest is cut with
// an ellipsis on the last line. Paragraphs (line breaks) start new lines.
QStringList wrapped(const QString& text, const QFont& f, QPaintDevice& device, double width,
                    int maxLines) {
    const QFontMetricsF metrics(f, &device);
    QStringList out;
    const QStringList paras = text.split(u'\n');
    for (qsizetype p = 0; p < paras.size(); ++p) {
        const QString& para = paras[p];
        QTextLayout layout(para, f, &device);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (;;) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(width);
            if (out.size() == maxLines - 1) {
                QString rest = para.mid(line.textStart());
                if (p + 1 < paras.size())
                    rest += u' ' + paras.mid(p + 1).join(u' ');
                out << metrics.elidedText(rest, Qt::ElideRight, width);
                layout.endLayout();
                return out;
            }
            out << para.mid(line.textStart(), line.textLength()).trimmed();
        }
        layout.endLayout();
        if (para.isEmpty())
            out << QString();
    }
    return out;
}

struct Column {
    QString title;
    double share; // of the page's width
    Qt::Alignment align = Qt::AlignLeft;
};

struct Cell {
    QString text;
    bool bold = false;
    QColor ink = kInk;
};

struct Row {
    QList<Cell> cells;
    QColor fill; // invalid: none
};

// A table that breaks across pages with its column titles on each.
void addTable(Pages& pages, const QList<Column>& columns, const QList<Row>& rows, double points) {
    const QFont body = font(points);
    const QFont head = font(points, true);
    const QFontMetricsF bodyMetrics(body, &pages.device());
    const QFontMetricsF headMetrics(head, &pages.device());
    const double pad = pages.pt(2);
    const double rowH = bodyMetrics.height() + 2 * pad;
    const double headH = 2 * headMetrics.height() + 2 * pad;
    QList<double> xs{0};
    for (const Column& c : columns)
        xs << xs.last() + c.share * pages.width();

    auto titles = [&] {
        const double y = pages.y();
        pages.add([columns, xs, y, headH, head, pad](QPainter& p) {
            p.fillRect(QRectF(0, y, xs.last(), headH), kHeaderFill);
            p.setFont(head);
            p.setPen(kInk);
            for (qsizetype i = 0; i < columns.size(); ++i) {
                const QRectF cell(xs[i] + pad, y + pad, xs[i + 1] - xs[i] - 2 * pad,
                                  headH - 2 * pad);
                p.save();
                p.setClipRect(cell);
                p.drawText(cell, int(columns[i].align | Qt::AlignBottom) | Qt::TextWordWrap,
                           columns[i].title);
                p.restore();
            }
            p.setPen(kRule);
            p.drawLine(QPointF(0, y + headH), QPointF(xs.last(), y + headH));
        });
        pages.advance(headH);
    };

    pages.keep(headH + rowH);
    titles();
    for (const Row& row : rows) {
        if (!pages.fits(rowH)) {
            pages.newPage();
            titles();
        }
        QList<Cell> cells = row.cells;
        for (qsizetype i = 0; i < cells.size() && i < columns.size(); ++i) {
            const QFontMetricsF& m = cells[i].bold ? headMetrics : bodyMetrics;
            cells[i].text =
                m.elidedText(cells[i].text, Qt::ElideRight, xs[i + 1] - xs[i] - 2 * pad);
        }
        const double y = pages.y();
        pages.add([cells, columns, xs, y, rowH, pad, body, head, fill = row.fill](QPainter& p) {
            if (fill.isValid())
                p.fillRect(QRectF(0, y, xs.last(), rowH), fill);
            for (qsizetype i = 0; i < cells.size() && i < columns.size(); ++i) {
                p.setFont(cells[i].bold ? head : body);
                p.setPen(cells[i].ink);
                p.drawText(QRectF(xs[i] + pad, y, xs[i + 1] - xs[i] - 2 * pad, rowH),
                           int(columns[i].align | Qt::AlignVCenter), cells[i].text);
            }
        });
        pages.advance(rowH);
    }
}

// A heading of a section, kept together with what follows it.
void addHeading(Pages& pages, const QString& text, double points = 13) {
    const QFont f = font(points, true);
    const QFontMetricsF m(f, &pages.device());
    pages.keep(m.height() * 3);
    const double y = pages.y();
    const QString shown = m.elidedText(text, Qt::ElideRight, pages.width());
    pages.add([f, y, shown, h = m.height()](QPainter& p) {
        p.setFont(f);
        p.setPen(kInk);
        p.drawText(QRectF(0, y, 1e9, h), int(Qt::AlignLeft | Qt::AlignTop), shown);
    });
    pages.advance(m.height() * 1.6);
}

// Lines of plain text, each cut to the page's width.
void addLines(Pages& pages, const QStringList& lines, double points = 9, const QColor& ink = kInk) {
    const QFont f = font(points);
    const QFontMetricsF m(f, &pages.device());
    for (const QString& line : lines) {
        pages.keep(m.lineSpacing());
        const double y = pages.y();
        const QString shown = m.elidedText(line, Qt::ElideRight, pages.width());
        pages.add([f, y, shown, ink, h = m.lineSpacing()](QPainter& p) {
            p.setFont(f);
            p.setPen(ink);
            p.drawText(QRectF(0, y, 1e9, h), int(Qt::AlignLeft | Qt::AlignTop), shown);
        });
        pages.advance(m.lineSpacing());
    }
}

// A label and its value, the value wrapped into at most `maxLines` lines.
void addField(Pages& pages, const QString& label, const QString& value, int maxLines) {
    const QFont labelFont = font(10, true);
    const QFont valueFont = font(10);
    const QFontMetricsF m(valueFont, &pages.device());
    const double labelW = pages.width() * 0.3;
    const double valueW = pages.width() - labelW;
    const QStringList lines = wrapped(value, valueFont, pages.device(), valueW, maxLines);
    const double h = qMax<qsizetype>(1, lines.size()) * m.lineSpacing();
    pages.keep(h);
    const double y = pages.y();
    const QString shownLabel =
        QFontMetricsF(labelFont, &pages.device()).elidedText(label, Qt::ElideRight, labelW);
    pages.add([=, step = m.lineSpacing()](QPainter& p) {
        p.setPen(kInk);
        p.setFont(labelFont);
        p.drawText(QRectF(0, y, labelW, step), int(Qt::AlignLeft | Qt::AlignTop), shownLabel);
        p.setFont(valueFont);
        for (qsizetype i = 0; i < lines.size(); ++i)
            p.drawText(QRectF(labelW, y + i * step, valueW, step),
                       int(Qt::AlignLeft | Qt::AlignTop), lines[i]);
    });
    pages.advance(h + m.lineSpacing() * 0.4);
}

QString orDash(const QString& text) {
    return text.isEmpty() ? QStringLiteral("\u2014") : text;
}

} // namespace

QFont ReportRenderer::textFont() {
    QFont f(QStringLiteral("DejaVu Sans"));
    // Any letter spacing turns ligatures off, so "fi" stays two letters for readers
    // that search or copy the text.
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.05);
    return f;
}

ReportRenderer::ReportRenderer(ReportData data, const LangModule& lang)
    : m_data(std::move(data)), m_lang(lang) {}

int ReportRenderer::render(QPagedPaintDevice& device) {
    const ReportData& d = m_data;
    auto text = [this](TextId id) { return m_lang.LangText(id); };
    const QString site = ReportText::singleLine(d.site.site);

    const QFont headerFont = font(8);
    const QFont headerBold = font(8, true);
    const QFontMetricsF headerMetrics(headerFont, &device);
    const double headerH = 2 * headerMetrics.lineSpacing() + headerMetrics.height() * 0.6;
    Pages pages(device, headerH + headerMetrics.height());

    // The cover.
    addHeading(pages, text(TextId::ReportTitle), 16);
    addField(pages, text(TextId::ReportSite), site, kSiteLines);
    addField(pages, text(TextId::ReportLift), ReportText::singleLine(d.site.lift), kShortLines);
    addField(pages, text(TextId::ReportTechnician), ReportText::singleLine(d.site.technician),
             kShortLines);
    addField(pages, text(TextId::ReportNote), ReportText::paragraphs(d.site.note), kNoteLines);
    pages.advance(pages.pt(8));
    addField(pages, text(TextId::Port),
             d.port.isEmpty() ? text(TextId::PortNone) : ReportText::singleLine(d.port), 1);
    addField(pages, text(TextId::ReportFirmware), orDash(ReportText::singleLine(d.firmware)), 1);
    addField(pages, text(TextId::ReportLastTransfer),
             d.lastTransfer.isValid()
                 ? QLocale().toString(d.lastTransfer, QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                 : text(TextId::ReportNotYet),
             1);
    addLines(pages,
             {text(d.valuesIdentical ? TextId::ReportValuesEqual : TextId::ReportValuesDiffer)},
             10);
    pages.advance(pages.pt(4));
    addField(pages, text(TextId::ReportParamFile), orDash(ReportText::singleLine(d.paramFile)), 2);

    // The parameter table.
    pages.newPage();
    addHeading(pages, text(TextId::TabMotorParams));
    addLines(pages, {text(TextId::ReportLegendDefault), text(TextId::ReportLegendDrive)}, 8);
    pages.advance(pages.pt(4));
    const QList<Column> paramColumns{{QString(), 0.03, Qt::AlignHCenter},
                                     {text(TextId::GridParameter), 0.42},
                                     {text(TextId::ReportIdentifier), 0.10},
                                     {text(TextId::GridDriveValue), 0.10, Qt::AlignRight},
                                     {text(TextId::GridProgramValue), 0.10, Qt::AlignRight},
                                     {text(TextId::GridUnit), 0.09, Qt::AlignHCenter},
                                     {text(TextId::ReportDefault), 0.16, Qt::AlignRight}};
    QList<Row> paramRows;
    for (const ReportParamRow& r : d.rows) {
        QString mark;
        if (r.differsFromDefault)
            mark += u'*';
        if (r.driveDiffers)
            mark += u'!';
        Row row;
        row.cells = {{mark, true},
                     {ReportText::singleLine(r.name)},
                     {ReportText::singleLine(r.id)},
                     {ReportText::singleLine(r.driveText)},
                     {r.programText, r.driveDiffers, r.driveDiffers ? kDriveInk : kInk},
                     {ReportText::singleLine(r.unit)},
                     {r.defaultText}};
        if (r.differsFromDefault)
            row.fill = kDefaultFill;
        paramRows << row;
    }
    addTable(pages, paramColumns, paramRows, 8);

    // The travel.
    pages.newPage();
    addHeading(pages, text(TextId::ReportTravel));
    m_plotPage = -1;
    m_plotArea = QRectF();
    if (m_plots) {
        const double h = qMin(pages.width() * 0.95, (device.height() - pages.y()) * 0.62);
        const QRectF area(0, pages.y(), pages.width(), h);
        m_plotPage = pages.page();
        pages.add([area, this](QPainter& p) {
            p.save();
            p.setClipRect(area);
            m_plots(p, area);
            p.restore();
        });
        // In points from the page's corner, for whoever reads the page as a picture.
        const QRectF paint = device.pageLayout().paintRect(QPageLayout::Point);
        const double toPt = 72.0 / device.logicalDpiY();
        m_plotArea = QRectF(paint.left() + area.left() * toPt, paint.top() + area.top() * toPt,
                            area.width() * toPt, area.height() * toPt);
        pages.advance(h + pages.pt(8));
    }
    auto pair = [](const QString& label, const QString& value) {
        return label + QStringLiteral(": ") + orDash(ReportText::singleLine(value));
    };
    addLines(pages,
             {pair(text(TextId::StopMode), d.stopMode),
              pair(text(TextId::SlowingDistance), d.slowingDistance),
              pair(text(TextId::StoppingDistance), d.stoppingDistance),
              pair(text(TextId::SlowingJerk), d.slowingJerk),
              pair(text(TextId::StoppingJerk), d.stoppingJerk),
              pair(text(TextId::Duration), d.duration + u' ' + text(TextId::Seconds))},
             9);

    // The measured travels.
    pages.advance(pages.pt(12));
    addHeading(pages, text(TextId::ReportMeasured));
    if (!d.travelsSource.isEmpty())
        addLines(pages, {ReportText::singleLine(d.travelsSource)}, 8, kMuted);
    if (!d.travelsKnown) {
        addLines(pages, {text(TextId::ReportNoRecording)}, 10);
    } else if (d.travels.isEmpty()) {
        addLines(pages,
                 {text(TextId::ReportNoTravelFound).arg(ReportText::singleLine(d.travelsSource))},
                 10);
    } else {
        bool anyMatched = false;
        for (const ReportTravelRow& t : d.travels)
            anyMatched = anyMatched || t.matched();
        QStringList titles = text(TextId::ReportTravelColumns).split(u'|');
        if (anyMatched)
            titles += text(TextId::ReportMatchedColumns).split(u'|');
        const double count = titles.size() + 1;
        QList<Column> columns{{QStringLiteral("#"), 0.5 / count, Qt::AlignRight}};
        for (const QString& title : titles)
            columns.append({title, (1.0 - 0.5 / count) / (count - 1), Qt::AlignRight});
        QList<Row> rows;
        int n = 0;
        for (const ReportTravelRow& t : d.travels) {
            const QColor ink = t.complete ? kInk : kMuted;
            Row row;
            row.cells = {{QString::number(++n), false, ink},
                         {ReportText::singleLine(t.start), false, ink},
                         {ReportText::figure(t.flight, 2), false, ink},
                         {ReportText::figure(t.distance, 3), false, ink},
                         {ReportText::figure(t.vmax, 3), false, ink},
                         {ReportText::figure(t.amax, 2), false, ink},
                         {ReportText::figure(t.dmax, 2), false, ink},
                         {ReportText::figure(t.jmax, 2), false, ink},
                         {ReportText::figure(t.creep, 2), false, ink},
                         {ReportText::figure(t.ipeak, 1), false, ink}};
            if (anyMatched)
                row.cells << Cell{ReportText::figure(t.simulatedFlight, 2), false, ink}
                          << Cell{ReportText::figure(t.simulatedCreep, 2), false, ink};
            rows << row;
        }
        addTable(pages, columns, rows, 7);
    }

    // Painting, now that the number of pages is known.
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    const QString when = QLocale().toString(d.made, QStringLiteral("yyyy-MM-dd HH:mm"));
    const QString edition = ReportText::singleLine(d.edition + u' ' + d.version);
    const double w = device.width();
    const int total = int(pages.pages().size());
    for (int i = 0; i < total; ++i) {
        if (i > 0)
            device.newPage();
        const QString number = QStringLiteral("%1 / %2").arg(i + 1).arg(total);
        const double line = headerMetrics.lineSpacing();
        const double right = headerMetrics.horizontalAdvance(edition) + headerMetrics.height();
        const double leftW = qMax(w * 0.4, w - right);
        painter.setPen(kInk);
        painter.setFont(headerBold);
        painter.drawText(
            QRectF(0, 0, leftW, line), int(Qt::AlignLeft | Qt::AlignTop),
            QFontMetricsF(headerBold, &device).elidedText(site, Qt::ElideRight, leftW));
        painter.setFont(headerFont);
        painter.drawText(QRectF(0, line, leftW, line), int(Qt::AlignLeft | Qt::AlignTop), when);
        painter.drawText(QRectF(w - right, 0, right, line), int(Qt::AlignRight | Qt::AlignTop),
                         number);
        painter.drawText(QRectF(leftW, line, w - leftW, line), int(Qt::AlignRight | Qt::AlignTop),
                         headerMetrics.elidedText(edition, Qt::ElideRight, w - leftW));
        painter.setPen(kRule);
        painter.drawLine(QPointF(0, headerH), QPointF(w, headerH));
        for (const Op& op : pages.pages()[i])
            op(painter);
    }
    painter.end();
    return total;
}
