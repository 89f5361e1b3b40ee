#pragma once
// Lays a report out on the pages of any paged device (a PDF file, a printer, the
// preview) and paints it: a header on every page, the cover with the site and the
// drive, the parameter table, the travel with its plots, the measured travels.
#include "report/ReportData.h"

#include <QFont>
#include <QRectF>
#include <functional>

class LangModule;
class QPagedPaintDevice;
class QPainter;

// Draws the travel plots into `area` of `painter`, at whatever size the area has.
using PlotPainter = std::function<void(QPainter& painter, const QRectF& area)>;

class ReportRenderer {
public:
    ReportRenderer(ReportData data, const LangModule& lang);

    // The family and settings of every text of a report.
    static QFont textFont();

    void setPlotPainter(PlotPainter painter) { m_plots = std::move(painter); }
    const ReportData& data() const { return m_data; }

    // Paints every page; returns the number of pages, 0 when the device could not
    // be painted on.
    int render(QPagedPaintDevice& device);

    // Where the last render put the plots: the page (0-based) and the area in points
    // from the page's top-left corner.
    int plotPage() const { return m_plotPage; }
    QRectF plotArea() const { return m_plotArea; }

private:
    ReportData m_data;
    const LangModule& m_lang;
    PlotPainter m_plots;
    int m_plotPage = -1;
    QRectF m_plotArea;
};
