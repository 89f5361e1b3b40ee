#include "monitor/GGauge.h"

#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>

namespace GGauge {

Display show(float g) {
    Display out;
    out.g = g;
    out.text = NumberText::pattern3(g);
    const float d = std::fabs(g - 1.0f);
    if (!std::isfinite(d))
        return out; // nothing sensible to draw: the bar stays flat
    const long height = std::min<long>(std::lrint(5000.0 * d), MaxBarHeight);
    out.barHeight = int(height);
    out.barTop = g > 1.0f ? AxisY - out.barHeight : AxisY;
    const long green = std::lrint(255.0 - 1000.0 * d);
    if (green >= 0) {
        out.colourChanged = true;
        out.red = int(std::min<long>(std::lrint(7500.0 * d), 255));
        out.green = int(green);
    }
    return out;
}

Display update(MonitorState& state, std::int32_t speed, double t) {
    const double dt = t - state.GPrevTime;
    if (std::isfinite(dt) && dt != 0.0)
        state.GAccel = (double(speed) - state.GPrevSpeed) / dt / 1000.0;
    const Display out = show(float(1.0 + state.GAccel / 9.8));
    state.GPrevSpeed = float(speed);
    state.GPrevTime = t;
    return out;
}

} // namespace GGauge
