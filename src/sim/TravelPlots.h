#pragma once
// The four plots of a run (acceleration, speed, position, signal lanes), drawn from
// what the run left behind: into the page's pictures, or into any painter at any size
// (a printed report draws them through the same code).
#include "sim/MeasuredCurve.h"
#include "sim/SimModule.h"

#include <QColor>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <optional>

class Canvas;
class QImage;
class QPainter;

class TravelPlots final : public TravelPlotter {
public:
    enum Plot { APlot, VPlot, XPlot, CPlot }; // aPicture, vPicture, xPicture, cPicture

    // Legend captions of the measured overlay, from the language pack.
    struct Legend {
        QString simulated;
        QString measured;
    };

    explicit TravelPlots(const SimModule& sim) : m_sim(sim) {}

    void setShowScales(bool on) { m_showScales = on; }
    bool showScales() const { return m_showScales; }
    // A measured travel drawn over the simulated one, aligned at the start of motion.
    void setMeasured(std::optional<MeasuredCurve> curve) { m_measured = std::move(curve); }
    const std::optional<MeasuredCurve>& measured() const { return m_measured; }
    void setLegend(Legend legend) { m_legend = std::move(legend); }

    // Receiving a run: the inputs that shape the plots are taken when it starts.
    void runStarting() override;
    void plot(const TravelSample& sample) override;
    const QList<TravelSample>& samples() const { return m_samples; }
    // Time from the first move to the standstill after it, and the time at the low
    // speed V0 before that standstill, of the last run (NaN without such a travel).
    double simulatedFlight() const;
    double simulatedCreep() const;
    // The largest |measured - simulated| speed where both exist, m/s (NaN: none).
    double largestSpeedDifference() const;

    // The plot's height in its own units (its width is the duration).
    double scaleHeight(Plot plot) const;
    // Draws `plot` afresh into the page's picture, at the picture's size.
    void draw(Plot plot, Canvas& canvas) const;
    // Draws `plot` into `area` of `painter`.
    void render(Plot plot, QPainter& painter, const QRectF& area) const;
    // Paints one lane between two times, on (a bar) or off (a thin centre line); the
    // signal editor uses it while the user drags.
    static void paintLaneStrip(Canvas& canvas, int lane, double fromT, double toT, bool on);

    static QColor laneColor(int lane);
    static QColor signalBackground();
    static QColor measuredColor();

private:
    template <typename Surface> void drawPlot(Plot plot, Surface& s) const;
    template <typename Surface> void drawGuides(Plot plot, Surface& s) const;
    template <typename Surface> void drawCurve(Plot plot, Surface& s) const;
    template <typename Surface> void drawMeasured(Plot plot, Surface& s) const;
    template <typename Surface> void drawLanes(Surface& s) const;

    const SimModule& m_sim;
    bool m_showScales = true;
    std::optional<MeasuredCurve> m_measured;
    Legend m_legend;

    // The run's inputs that shape the plots.
    float m_D = 15.0f;
    std::array<float, 5> m_speeds{};
    float m_PA = 0.0f;
    float m_NA = 0.0f;
    std::vector<SimModule::SignalSample> m_signals; // samples 0..1000
    QList<TravelSample> m_samples;
};
