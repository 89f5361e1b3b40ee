#include "sim/TravelPlots.h"

#include "platform/Canvas.h"
#include "platform/NumberText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

using LineStyle = Canvas::LineStyle;

const QColor kGuide(0, 200, 0);
const QColor kGuideText(0, 250, 0);
const QColor kGrid(140, 140, 140);
const QColor kSeparator(240, 240, 240);
constexpr QRgb kWhite = 0xffffffu;
constexpr QRgb kSlowing = 0xffff00u;
constexpr QRgb kStopping = 0xff0000u;
constexpr double kSignalHeight = 8.2;
constexpr int kLastDrawnSample = 1000; // the lanes sample the table at 1000 points

// Lane k of the signal plot lies between these heights; lane 0 at the bottom.
double laneTop(int lane) {
    return 6.5 - 2.0 * lane;
}
double laneBottom(int lane) {
    return 7.5 - 2.0 * lane;
}
double laneCentre(int lane) {
    return 7.0 - 2.0 * lane;
}

// The drawing operations of a page picture, over any painter and area. Pixel sizes
// (pen widths, text offsets) grow with the area, so a print keeps the proportions of
// the screen.
class PainterSurface {
public:
    PainterSurface(QPainter& painter, const QRectF& area, double width, double height)
        : m_p(painter), m_area(area), m_w(width), m_h(height),
          m_unit(std::max(1.0, area.height() / 300.0)) {}

    double scaleHeight() const { return m_h; }
    double pixelsDown(double pixels) const { return pixels * m_unit * m_h / m_area.height(); }
    double pixelsAcross(double pixels) const { return pixels * m_unit * m_w / m_area.width(); }
    double textWidth(const QString& text) const {
        return QFontMetricsF(m_p.font()).horizontalAdvance(text) * m_w / m_area.width();
    }
    void setLineStyle(LineStyle style) { m_style = style; }
    void setLineWidth(int pixels) { m_width = pixels; }

    void line(double x1, double y1, double x2, double y2, const QColor& color) {
        preparePen(color);
        m_p.drawLine(at(x1, y1), at(x2, y2));
    }
    void polyline(const QList<QPointF>& points, const QColor& color) {
        preparePen(color);
        QPolygonF pixels;
        for (const QPointF& p : points)
            pixels << at(p.x(), p.y());
        m_p.drawPolyline(pixels);
    }
    void text(double x, double y, const QString& text, const QColor& color) {
        m_p.setPen(color);
        m_p.drawText(at(x, y) + QPointF(0, QFontMetricsF(m_p.font()).ascent()), text);
    }
    void fillBox(double x1, double y1, double x2, double y2, const QColor& color) {
        m_p.fillRect(QRectF(at(x1, y1), at(x2, y2)).normalized(), color);
    }
    void points(const QList<QPointF>& points, const QList<QRgb>& colors) {
        const double side = m_width * m_unit;
        for (qsizetype i = 0; i < points.size(); ++i)
            m_p.fillRect(QRectF(at(points[i].x(), points[i].y()) - QPointF(side / 2, side / 2),
                                QSizeF(side, side)),
                         QColor::fromRgb(colors[std::min(i, colors.size() - 1)]));
    }
    void points(const QList<QPointF>& points, const QColor& color) {
        this->points(points, QList<QRgb>{color.rgb()});
    }

private:
    QPointF at(double x, double y) const {
        return {m_area.left() + x * m_area.width() / m_w, m_area.top() + y * m_area.height() / m_h};
    }
    void preparePen(const QColor& color) {
        QPen pen(color, m_width * m_unit);
        pen.setCapStyle(Qt::FlatCap);
        if (m_style == LineStyle::DashDot)
            pen.setDashPattern({9, 6, 3, 6});
        else if (m_style == LineStyle::Dotted)
            pen.setDashPattern({3, 3});
        m_p.setPen(pen);
    }

    QPainter& m_p;
    QRectF m_area;
    double m_w;
    double m_h;
    double m_unit;
    LineStyle m_style = LineStyle::Solid;
    int m_width = 1;
};

double textWidth(const Canvas& c, const QString& text) {
    return c.pixelsAcross(c.fontMetrics().horizontalAdvance(text));
}
double textWidth(const PainterSurface& s, const QString& text) {
    return s.textWidth(text);
}

// Speed at time `t` along the run's samples, by straight lines between them.
double speedAt(const QList<TravelSample>& samples, double t) {
    const auto after = std::lower_bound(samples.begin(), samples.end(), t,
                                        [](const TravelSample& s, double at) { return s.t < at; });
    if (after == samples.end())
        return std::nan("");
    if (after == samples.begin())
        return after->t == t ? double(after->v) : std::nan("");
    const TravelSample& b = *after;
    const TravelSample& a = *(after - 1);
    return a.v + (double(b.v) - a.v) * (t - a.t) / (double(b.t) - a.t);
}

} // namespace

QColor TravelPlots::laneColor(int lane) {
    switch (lane) {
    case 0:
        return QColor(255, 0, 0);
    case 1:
        return QColor(245, 245, 0);
    case 2:
        return QColor(0, 0, 255);
    default:
        return QColor(0, 255, 0);
    }
}

QColor TravelPlots::signalBackground() {
    return QColor(245, 245, 250);
}

QColor TravelPlots::measuredColor() {
    // Apart from the run's white, yellow and red and from the green guides.
    return QColor(0, 190, 255);
}

// ---------------------------------------------------------------------------------
// The run

void TravelPlots::runStarting() {
    m_D = m_sim.duration();
    m_speeds = m_sim.inputs().speedTable;
    m_PA = m_sim.inputs().PA;
    m_NA = m_sim.inputs().NA;
    m_signals.assign(m_sim.signalTable().begin(),
                     m_sim.signalTable().begin() + kLastDrawnSample + 1);
    m_samples.clear();
    m_samples.reserve(qsizetype(std::clamp(m_D, 0.0f, 10000.0f) * 100.0f) + 2);
}

void TravelPlots::plot(const TravelSample& sample) {
    m_samples.append(sample);
}

namespace {

// Start of motion and standstill of the first travel of a run; -1 where none.
std::pair<int, int> firstTravel(const QList<TravelSample>& samples) {
    int start = -1;
    for (int i = 0; i < samples.size(); ++i) {
        if (start < 0 && samples[i].v > 0.0f)
            start = i;
        else if (start >= 0 && samples[i].v <= 0.0f)
            return {start, i};
    }
    return {start, -1};
}

} // namespace

double TravelPlots::simulatedFlight() const {
    const auto [start, end] = firstTravel(m_samples);
    if (start < 0 || end < 0)
        return std::nan("");
    return double(m_samples[end].t) - m_samples[start].t;
}

double TravelPlots::simulatedCreep() const {
    const auto [start, end] = firstTravel(m_samples);
    if (start < 0 || end < 0)
        return std::nan("");
    // As for a measured travel: from the last moment above 1.25 x V0 to the standstill.
    const double above = 1.25 * m_speeds[0];
    for (int i = end - 1; i >= start; --i)
        if (m_samples[i].v > above)
            return double(m_samples[end].t) - m_samples[i + 1].t;
    return double(m_samples[end].t) - m_samples[start].t;
}

double TravelPlots::largestSpeedDifference() const {
    if (!m_measured)
        return std::nan("");
    const auto [start, end] = firstTravel(m_samples);
    const double offset = start < 0 ? 0.0 : double(m_samples[start].t);
    double largest = std::nan("");
    for (qsizetype i = 0; i < m_measured->t.size() && i < m_measured->v.size(); ++i) {
        const double simulated = speedAt(m_samples, offset + m_measured->t[i]);
        if (std::isnan(simulated))
            continue;
        const double difference = std::fabs(m_measured->v[i] - simulated);
        if (!(difference <= largest))
            largest = difference;
    }
    return largest;
}

// ---------------------------------------------------------------------------------
// Drawing

double TravelPlots::scaleHeight(Plot plot) const {
    switch (plot) {
    case APlot:
        return m_PA <= m_NA ? 2.0f * 1.2f * m_NA : 2.0f * 1.2f * m_PA;
    case VPlot:
        return 1.1f * m_speeds[3];
    case XPlot:
        return 0.3;
    case CPlot:
        return kSignalHeight;
    }
    return 1.0;
}

void TravelPlots::draw(Plot plot, Canvas& canvas) const {
    canvas.setScale(m_D, scaleHeight(plot));
    canvas.clear();
    const Canvas::Batch batch(canvas);
    drawPlot(plot, canvas);
    canvas.setLineWidth(1);
    canvas.setLineStyle(LineStyle::Solid);
}

void TravelPlots::render(Plot plot, QPainter& painter, const QRectF& area) const {
    const double height = scaleHeight(plot);
    if (!(m_D > 0.0f) || !(height > 0.0) || area.isEmpty())
        return;
    painter.save();
    painter.setClipRect(area);
    painter.fillRect(area, plot == CPlot ? signalBackground() : QColor(Qt::black));
    PainterSurface surface(painter, area, m_D, height);
    drawPlot(plot, surface);
    painter.restore();
}

template <typename Surface> void TravelPlots::drawPlot(Plot plot, Surface& s) const {
    if (plot == CPlot) {
        drawLanes(s);
        return;
    }
    drawGuides(plot, s);
    drawCurve(plot, s);
    drawMeasured(plot, s);
}

template <typename Surface> void TravelPlots::drawGuides(Plot plot, Surface& s) const {
    const double D = m_D;
    const double H = s.scaleHeight();
    if (m_showScales && plot == VPlot) {
        s.setLineStyle(LineStyle::DashDot);
        for (int k = 0; k < 4; ++k) {
            const float speed = m_speeds[std::size_t(k)];
            s.line(0.0, H - speed, D, H - speed, kGuide);
            s.text(0.0, H - speed - s.pixelsDown(14),
                   QStringLiteral("V%1=%2m/s").arg(k).arg(NumberText::general(speed)), kGuideText);
        }
    } else if (m_showScales && plot == APlot) {
        s.setLineStyle(LineStyle::DashDot);
        const double middle = H / 2.0;
        s.line(0.0, middle - m_PA, D, middle - m_PA, kGuide);
        s.line(0.0, middle + m_NA, D, middle + m_NA, kGuide);
        s.text(0.0, middle - m_PA - s.pixelsDown(14),
               QStringLiteral("PA=%1m/s²").arg(NumberText::general(m_PA)), kGuideText);
        s.text(0.0, middle + m_NA - s.pixelsDown(14),
               QStringLiteral("NA=-%1m/s²").arg(NumberText::general(m_NA)), kGuideText);
    }

    s.setLineStyle(LineStyle::Dotted);
    if (plot == APlot)
        s.line(0.0, H / 2.0, D, H / 2.0, kGrid);
    else // the bottom edge itself lies just below the last row of pixels
        s.line(0.0, H - s.pixelsDown(1), D, H - s.pixelsDown(1), kGrid);
    for (int second = 0; second <= D; ++second) {
        s.line(second, 0.0, second, H, kGrid);
        if (plot == APlot)
            s.text(second + 0.05, 0.0, QString::number(second), Qt::white);
    }
    s.setLineStyle(LineStyle::Solid);
}

template <typename Surface> void TravelPlots::drawCurve(Plot plot, Surface& s) const {
    const double H = s.scaleHeight();
    QList<QPointF> at;
    QList<QRgb> colors;
    at.reserve(m_samples.size());
    colors.reserve(m_samples.size());
    for (const TravelSample& sample : m_samples) {
        const double y = plot == APlot   ? H / 2.0 - double(sample.a)
                         : plot == VPlot ? H - double(sample.v)
                                         : H - double(sample.x);
        at.append(QPointF(sample.t, y));
        // The position is white throughout; the others show the slowdowns.
        colors.append(plot == XPlot             ? kWhite
                      : sample.stopRequest == 1 ? kSlowing
                      : sample.stopRequest == 2 ? kStopping
                                                : kWhite);
    }
    s.setLineWidth(2);
    s.points(at, colors);
    s.setLineWidth(1);
}

template <typename Surface> void TravelPlots::drawMeasured(Plot plot, Surface& s) const {
    if (!m_measured || plot == XPlot)
        return;
    const MeasuredCurve& m = *m_measured;
    const auto [start, end] = firstTravel(m_samples);
    const double offset = start < 0 ? 0.0 : double(m_samples[start].t);
    const double H = s.scaleHeight();
    const QList<double>& values = plot == VPlot ? m.v : m.a;
    // A gap where a value is undefined breaks the line.
    QList<QPointF> run;
    s.setLineWidth(2);
    const auto flush = [&] {
        if (run.size() > 1)
            s.polyline(run, measuredColor());
        run.clear();
    };
    for (qsizetype i = 0; i < m.t.size() && i < values.size(); ++i) {
        if (!std::isfinite(values[i])) {
            flush();
            continue;
        }
        run.append(QPointF(offset + m.t[i], plot == VPlot ? H - values[i] : H / 2.0 - values[i]));
    }
    flush();
    s.setLineWidth(1);
    if (plot != VPlot)
        return;
    // The legend, top right.
    const double gap = s.pixelsAcross(6);
    const double width =
        std::max(textWidth(s, m_legend.simulated), textWidth(s, m_legend.measured)) + gap;
    s.text(m_D - width, s.pixelsDown(2), m_legend.simulated, Qt::white);
    s.text(m_D - width, s.pixelsDown(18), m_legend.measured, measuredColor());
}

void TravelPlots::paintLaneStrip(Canvas& c, int lane, double fromT, double toT, bool on) {
    if (on)
        c.fillBox(fromT, laneBottom(lane), toT, laneTop(lane), laneColor(lane));
    else
        c.line(fromT, laneCentre(lane), toT, laneCentre(lane), laneColor(lane));
}

template <typename Surface> void TravelPlots::drawLanes(Surface& s) const {
    const float D = m_D;
    if (!(D > 0.0f) || m_signals.empty())
        return;
    constexpr float step = 0.01f;
    const auto strip = [&s](int lane, double fromT, double toT, bool on) {
        if (on)
            s.fillBox(fromT, laneBottom(lane), toT, laneTop(lane), laneColor(lane));
        else
            s.line(fromT, laneCentre(lane), toT, laneCentre(lane), laneColor(lane));
    };
    for (int lane = 0; lane < 4; ++lane)
        s.fillBox(0.0, laneBottom(lane), double(D) + step, laneTop(lane), signalBackground());

    // The table is sampled every 0.01 s; runs of equal samples are drawn as one bar or
    // one line, which covers the same pixels as a box or line per sample.
    std::array<bool, 4> on{};
    std::array<float, 4> runStart{};
    float last = 0.0f;
    bool first = true;
    for (float t = 0.0f; t <= D;) {
        double n = std::nearbyint(double(t) / (double(D) / 1000.0));
        n = std::clamp(n, 0.0, double(kLastDrawnSample));
        const SimModule::SignalSample& sample = m_signals[std::size_t(n)];
        for (int lane = 0; lane < 4; ++lane) {
            const bool set = sample[std::size_t(lane)] != 0;
            if (first) {
                on[std::size_t(lane)] = set;
                runStart[std::size_t(lane)] = t;
            } else if (set != on[std::size_t(lane)]) {
                strip(lane, runStart[std::size_t(lane)], t, on[std::size_t(lane)]);
                on[std::size_t(lane)] = set;
                runStart[std::size_t(lane)] = t;
            }
        }
        first = false;
        last = t;
        const float next = t + step;
        if (!(next > t))
            break;
        t = next;
    }
    for (int lane = 0; lane < 4; ++lane)
        strip(lane, runStart[std::size_t(lane)], double(last) + step, on[std::size_t(lane)]);

    s.setLineWidth(3);
    for (double y : {6.0, 4.0, 2.0, 0.0})
        s.line(0.0, y, D, y, kSeparator);
    s.setLineWidth(1);
}
