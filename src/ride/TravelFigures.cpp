#include "ride/TravelFigures.h"

#include <algorithm>
#include <vector>

namespace {

// Least-squares slopes of y over t through the points within SlopeReach of each query
// time, NaN where fewer than SlopeSamples lie there. Both t and the query times rise.
// The points in reach are kept as running sums between two pointers; the sums are taken
// about a nearby origin, moved and summed afresh every second, so that times of an
// hour-long recording do not cancel the digits the slope lives on.
void slopes(const double* t, const double* y, qsizetype n, const double* query, qsizetype nq,
            double* out) {
    constexpr double Rebase = 1.0; // s
    qsizetype lo = 0;
    qsizetype hi = 0; // the points [lo, hi) are in reach
    double origin = nq > 0 ? query[0] : 0.0;
    double sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0;
    const auto add = [&](qsizetype j, double sign) {
        const double x = t[j] - origin;
        sx += sign * x;
        sy += sign * y[j];
        sxx += sign * x * x;
        sxy += sign * x * y[j];
    };
    for (qsizetype k = 0; k < nq; ++k) {
        const double tk = query[k];
        if (tk - origin > Rebase) {
            origin = tk;
            sx = sy = sxx = sxy = 0.0;
            for (qsizetype j = lo; j < hi; ++j)
                add(j, 1.0);
        }
        while (hi < n && t[hi] - tk <= Ride::SlopeReach)
            add(hi++, 1.0);
        while (lo < hi && tk - t[lo] > Ride::SlopeReach)
            add(lo++, -1.0);
        const qsizetype m = hi - lo;
        if (m < Ride::SlopeSamples) {
            out[k] = TravelFigures::None;
            continue;
        }
        const double count = double(m);
        out[k] = (count * sxy - sx * sy) / (count * sxx - sx * sx);
    }
}

} // namespace

namespace Ride {

QList<double> derivedAcceleration(const RideSample* window, qsizetype n) {
    std::vector<double> t(static_cast<std::size_t>(n)), v(static_cast<std::size_t>(n));
    for (qsizetype j = 0; j < n; ++j) {
        t[std::size_t(j)] = window[j].t;
        v[std::size_t(j)] = window[j].v / 1000.0;
    }
    QList<double> a(n);
    slopes(t.data(), v.data(), n, t.data(), n, a.data());
    return a;
}

TravelFigures measureWindow(const RideSample* w, qsizetype n, bool leading, bool trailing,
                            double v0) {
    TravelFigures f;
    f.count = n;
    f.complete = leading && trailing;
    const qsizetype s = leading ? 1 : 0;
    const qsizetype e = trailing ? n - 2 : n - 1;
    if (n <= 0 || e < s)
        return f;
    f.start = w[s].t;
    const double end = f.complete ? w[e + 1].t : w[e].t;
    f.flight = end - f.start;

    double area = 0.0;
    for (qsizetype j = 0; j + 1 < n; ++j)
        area += (w[j + 1].t - w[j].t) * (w[j].v + w[j + 1].v) / 2.0;
    f.distance = area / 1000.0;

    double vmax = w[s].v, cmax = w[s].c, c2 = 0.0;
    for (qsizetype j = s; j <= e; ++j) {
        vmax = std::max(vmax, w[j].v);
        cmax = std::max(cmax, w[j].c);
        c2 += w[j].c * w[j].c;
    }
    f.vmax = vmax / 1000.0;
    f.ipeak = cmax / 10.0;
    f.irms = std::sqrt(c2 / double(e - s + 1)) / 10.0;

    const double creepLimit = CreepFactor * 1000.0 * v0;
    qsizetype m = e;
    while (m >= s && !(w[m].v > creepLimit))
        --m;
    if (m < s)
        f.creep = f.flight;
    else
        f.creep = m + 1 < n ? end - w[m + 1].t : 0.0;

    const QList<double> a = derivedAcceleration(w, n);
    std::vector<double> ta, aa;
    ta.reserve(std::size_t(n));
    aa.reserve(std::size_t(n));
    for (qsizetype j = 0; j < n; ++j) {
        if (std::isnan(a[j]))
            continue;
        ta.push_back(w[j].t);
        aa.push_back(a[j]);
        f.amax = std::isnan(f.amax) ? a[j] : std::max(f.amax, a[j]);
        f.dmax = std::isnan(f.dmax) ? -a[j] : std::max(f.dmax, -a[j]);
    }
    // The jerk is fitted through the defined accelerations only; where the acceleration
    // is not defined, fewer than SlopeSamples lie in reach, so neither is the jerk.
    std::vector<double> jerk(ta.size());
    slopes(ta.data(), aa.data(), qsizetype(ta.size()), ta.data(), qsizetype(ta.size()),
           jerk.data());
    for (const double j : jerk)
        if (!std::isnan(j))
            f.jmax = std::isnan(f.jmax) ? std::abs(j) : std::max(f.jmax, std::abs(j));
    return f;
}

QList<TravelFigures> measureTravels(const RideSample* samples, qsizetype n, double v0) {
    QList<TravelFigures> travels;
    qsizetype segment = 0; // first sample of the current segment
    for (qsizetype i = 0; i < n;) {
        if (i > segment && !(samples[i].t > samples[i - 1].t))
            segment = i;
        if (!moving(samples[i])) {
            ++i;
            continue;
        }
        const qsizetype s = i++;
        while (i < n && samples[i].t > samples[i - 1].t && moving(samples[i]))
            ++i;
        const qsizetype e = i - 1;
        if (samples[e].t - samples[s].t < ShortestRun)
            continue;
        const bool leading = s > segment;
        const bool trailing = i < n && samples[i].t > samples[e].t;
        const qsizetype first = leading ? s - 1 : s;
        const qsizetype last = trailing ? e + 1 : e;
        TravelFigures f = measureWindow(samples + first, last - first + 1, leading, trailing, v0);
        f.first = first;
        travels.append(f);
    }
    return travels;
}

QList<MeasuredTravel> travelsIn(const QList<RideSample>& samples, double v0) {
    QList<MeasuredTravel> out;
    for (const TravelFigures& f : measureTravels(samples, v0)) {
        MeasuredTravel travel{QTime(), f, samples.mid(f.first, f.count)};
        travel.figures.first = 0;
        out.append(travel);
    }
    return out;
}

} // namespace Ride

MeasuredTravel TravelFinder::Run::measure(double v0) const {
    return {QTime(), Ride::measureWindow(window.constData(), window.size(), leading, trailing, v0),
            window};
}

bool TravelFinder::add(const RideSample& sample, Run* out) {
    bool ended = false;
    if (!m_window.isEmpty() && !(sample.t > m_window.last().t)) {
        ended = close(false, out); // a new segment cuts the run short
        reset();
    }
    if (Ride::moving(sample)) {
        m_window.append(sample);
        return ended;
    }
    if (m_window.size() > (m_leading ? 1 : 0)) {
        m_window.append(sample);
        ended = close(true, out);
    }
    m_window.clear();
    m_window.append(sample);
    m_leading = true;
    return ended;
}

bool TravelFinder::finish(Run* out) {
    const bool ended = m_window.size() > (m_leading ? 1 : 0) && close(false, out);
    reset();
    return ended;
}

bool TravelFinder::close(bool trailing, Run* out) {
    const qsizetype n = m_window.size();
    const qsizetype s = m_leading ? 1 : 0;
    const qsizetype e = trailing ? n - 2 : n - 1;
    const bool wasLeading = m_leading;
    m_leading = false;
    if (e < s || m_window[e].t - m_window[s].t < Ride::ShortestRun)
        return false;
    *out = {m_window, wasLeading, trailing};
    return true;
}
