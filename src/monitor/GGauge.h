#pragma once
// The G-force gauge: the car's acceleration from successive speeds, shown as G with a
// bar above or below the 1 g axis whose colour turns from green to red with the load.
// Lengths are in twips (1/1440 inch) of the gauge's frame.
#include "monitor/MonitorState.h"

#include <QString>
#include <cstdint>

namespace GGauge {

constexpr int AxisY = 1140;
constexpr int AxisLeft = 180;
constexpr int AxisRight = 660;
constexpr int ScaleTop = 360;
constexpr int ScaleBottom = 1860;
constexpr int BarLeft = 300;
constexpr int BarWidth = 195;
constexpr int MaxBarHeight = 700; // reached at 0.14 g either way
// Updates come at most this often, whatever the tick rate.
constexpr double UpdateEvery = 0.12;

struct Display {
    float g = 1.0f;
    QString text; // "#0.##0"
    int barTop = AxisY;
    int barHeight = 0;
    bool colourChanged = false; // false: the bar keeps its fill colour
    int red = 0;
    int green = 0;
};

// What the gauge shows for `g`.
Display show(float g);

// A new speed `speed` (mm/s) at monotonic time `t` (s): derives the acceleration from
// the previous update, which it then replaces. The first update, and one with no time
// elapsed, keeps the acceleration it had.
Display update(MonitorState& state, std::int32_t speed, double t);

} // namespace GGauge
