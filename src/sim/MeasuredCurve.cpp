#include "sim/MeasuredCurve.h"

#include <algorithm>
#include <cmath>

namespace {

// Speeds below this count as standing, m/s (the drive's own 10 mm/s).
constexpr double kMoving = 0.01;

} // namespace

CommandTiming commandTiming(const MeasuredCurve& curve) {
    CommandTiming timing;
    const qsizetype n = std::min(curve.t.size(), curve.v.size());
    if (n < 2)
        return timing;
    qsizetype top = 0;
    qsizetype last = -1;
    for (qsizetype i = 0; i < n; ++i) {
        if (curve.v[i] > curve.v[top])
            top = i;
        if (curve.v[i] >= kMoving)
            last = i;
    }
    if (last < 0)
        return timing;
    // A measured speed wanders a little around the value held; the fall starts where
    // it leaves that band for good.
    const auto lastWithin = [&](qsizetype from, qsizetype to, double level) {
        const double band = std::max(0.005 * level, 0.003);
        qsizetype at = from;
        for (qsizetype i = from; i <= to; ++i)
            if (curve.v[i] >= level - band)
                at = i;
        return at;
    };
    const double topSpeed = curve.v[top];
    const qsizetype highEnd = lastWithin(top, last, topSpeed);
    timing.highSpeedEnd = curve.t[highEnd];

    // The creep level: what the speed holds in the first half of the creep, which the
    // figures give from the end of the travel backwards.
    const double end = curve.t[last];
    const double creep = std::isfinite(curve.creep) ? curve.creep : 0.0;
    const double from = end - creep;
    QList<double> held;
    for (qsizetype i = highEnd; i <= last; ++i)
        if (curve.t[i] >= from && curve.t[i] <= from + creep / 2.0)
            held.append(curve.v[i]);
    if (held.isEmpty()) {
        timing.lowSpeedEnd = end;
        return timing;
    }
    std::nth_element(held.begin(), held.begin() + held.size() / 2, held.end());
    const double level = held[held.size() / 2];
    qsizetype firstHeld = highEnd;
    while (firstHeld < last && curve.t[firstHeld] < from)
        ++firstHeld;
    timing.lowSpeedEnd = curve.t[lastWithin(firstHeld, last, level)];
    return timing;
}
