#include "sim/SignalEditor.h"

#include "platform/Canvas.h"
#include "sim/SimModule.h"
#include "sim/TravelPlots.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kLastSample = SimModule::SignalSamples - 1;
}

SignalEditor::SignalEditor(SimModule& sim, Canvas& lanes, QObject* parent)
    : QObject(parent), m_sim(sim), m_lanes(lanes) {
    connect(&lanes, &Canvas::mousePressed, this, &SignalEditor::pressed);
    connect(&lanes, &Canvas::mouseMoved, this, &SignalEditor::moved);
    connect(&lanes, &Canvas::mouseReleased, this,
            [this](Qt::MouseButton button, QPointF) { released(button); });
}

void SignalEditor::pressed(Qt::MouseButton button, QPointF at) {
    if (button != Qt::LeftButton && button != Qt::RightButton)
        return;
    m_dragging = true;
    const double n = std::clamp(double(float(at.x())) / (double(m_sim.duration()) / 1000.0), 0.0,
                                double(kLastSample));
    m_start = std::isfinite(n) ? int(std::floor(n)) : 0;
    // Lanes from the top: V3, V2, V1, V0, two plot units each; a press below them keeps
    // the lane of the previous press.
    const double y = at.y();
    if (y >= 0.0 && y < 8.0)
        m_lane = 3 - int(y / 2.0);
    m_setMode = button == Qt::LeftButton;
    m_sim.keepSignalsForUndo();
}

void SignalEditor::moved(Qt::MouseButtons buttons, QPointF at) {
    const float x = float(at.x());
    if (m_dragging && (buttons & (Qt::LeftButton | Qt::RightButton))) {
        const double per = double(m_sim.duration()) / 1000.0;
        double n = double(x) / per;
        n = std::isfinite(n) ? std::clamp(n, 0.0, double(kLastSample)) : 0.0;
        // From the press sample towards the mouse, the press sample always included.
        const int to = n >= m_start ? int(std::floor(n)) : int(std::ceil(n));
        m_sim.setSignal(m_lane, std::min(m_start, to), std::max(m_start, to), m_setMode);
        emit aboutToPaint();
        const double from = m_start * per;
        const Canvas::Batch batch(m_lanes);
        m_lanes.fillBox(from, 7.5 - 2.0 * m_lane, n * per, 6.5 - 2.0 * m_lane,
                        TravelPlots::signalBackground());
        TravelPlots::paintLaneStrip(m_lanes, m_lane, from, n * per, m_setMode);
    }
    emit cursorMoved(x);
}

void SignalEditor::released(Qt::MouseButton button) {
    if (button != Qt::LeftButton && button != Qt::RightButton)
        return;
    m_dragging = false;
    emit edited();
}
