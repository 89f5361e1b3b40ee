#include "monitor/ChartScale.h"

#include <cmath>

namespace ChartScale {

double stepFor(double top) {
    struct Range {
        double from, to, step;
    };
    static constexpr Range ranges[] = {
        {0, 500, 20}, {501, 1000, 50}, {1001, 2000, 100}, {2001, 4000, 250}, {4001, 6000, 500}};
    for (const Range& r : ranges)
        if (top >= r.from && top <= r.to)
            return r.step;
    return 100;
}

Plan plan(int entry, double speedTop, double ratedCurrent) {
    switch (entry) {
    case Speed:
        return {true, 0xFF0000, speedTop, stepFor(speedTop), 1.0};
    case Acceleration:
        return {true, 0x00FF00, speedTop, stepFor(speedTop), 1.0};
    case Current:
        // The chart draws 5 x the raw current (0.1 A); 1000 scale units are 1 A.
        return {true, 0x0064FF, 200.0 * ratedCurrent, 1000.0, 1.0 / 20.0};
    default:
        return {};
    }
}

QList<double> ticks(const Plan& plan) {
    QList<double> out;
    if (!plan.valid || !(plan.step > 0.0) || !std::isfinite(plan.top))
        return out;
    for (double y = 0.0; y < 1.1 * plan.top && out.size() < MaxTicks; y += plan.step)
        out << y;
    return out;
}

} // namespace ChartScale
