#include "ride/TravelCurve.h"

#include <algorithm>

namespace Ride {

MeasuredCurve curveOf(const MeasuredTravel& travel) {
    const TravelFigures& f = travel.figures;
    MeasuredCurve curve;
    curve.flight = f.flight;
    curve.creep = f.creep;
    const qsizetype first = std::clamp<qsizetype>(f.first, 0, travel.window.size());
    const qsizetype n = std::clamp<qsizetype>(f.count, 0, travel.window.size() - first);
    const RideSample* window = travel.window.constData() + first;
    curve.a = derivedAcceleration(window, n);
    curve.t.reserve(n);
    curve.v.reserve(n);
    for (qsizetype j = 0; j < n; ++j) {
        curve.t.append(window[j].t - f.start);
        curve.v.append(window[j].v / 1000.0);
    }
    return curve;
}

} // namespace Ride
