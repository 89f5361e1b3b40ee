#include "report/ReportPlots.h"

#include "lang/LangModule.h"

#include <QPainter>

namespace {

constexpr TravelPlots::Plot kOrder[] = {TravelPlots::APlot, TravelPlots::VPlot, TravelPlots::XPlot,
                                        TravelPlots::CPlot};
constexpr double kWeight[] = {3.0, 3.0, 2.0, 1.6};
constexpr double kCaption = 0.09; // of the whole area, above each plot

} // namespace

namespace ReportPlots {

QRectF plotRect(TravelPlots::Plot plot, const QRectF& area) {
    double total = 0;
    for (double w : kWeight)
        total += w;
    const double caption = area.height() * kCaption / 4;
    const double room = area.height() - 4 * caption;
    double y = area.top();
    for (int i = 0; i < 4; ++i) {
        const double h = room * kWeight[i] / total;
        if (kOrder[i] == plot)
            return QRectF(area.left(), y + caption, area.width(), h);
        y += caption + h;
    }
    return QRectF();
}

PlotPainter painter(const TravelPlots& plots, const LangModule& lang) {
    const QString captions[] = {
        lang.LangText(TextId::PlotAcceleration), lang.LangText(TextId::PlotSpeed),
        lang.LangText(TextId::PlotPosition), lang.LangText(TextId::PlotSignals)};
    return [&plots, captions = QList<QString>(std::begin(captions), std::end(captions))](
               QPainter& p, const QRectF& area) {
        const double band = area.height() * kCaption / 4;
        QFont font = ReportRenderer::textFont();
        font.setPixelSize(std::max(1, int(band * 0.7)));
        for (int i = 0; i < 4; ++i) {
            const QRectF rect = plotRect(kOrder[i], area);
            p.setFont(font);
            p.setPen(Qt::black);
            p.drawText(QRectF(rect.left(), rect.top() - band, rect.width(), band),
                       int(Qt::AlignLeft | Qt::AlignVCenter), captions[i]);
            QFont small = font;
            small.setPixelSize(std::max(1, int(band * 0.55)));
            p.setFont(small);
            plots.render(kOrder[i], p, rect);
        }
    };
}

} // namespace ReportPlots
