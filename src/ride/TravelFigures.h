#pragma once
// The figures of each travel of the car, measured from the drive's own stream (time,
// speed, acceleration and current as the recording holds them): flight and creep time,
// distance, top speed, acceleration, deceleration and jerk derived from the speed, and
// the motor current. docs/travel-figures.md gives the definitions for users.
#include <QList>
#include <QTime>
#include <QtGlobal>
#include <cmath>
#include <functional>
#include <limits>

// One sample in the recording's raw units.
struct RideSample {
    double t = 0.0; // s
    double v = 0.0; // mm/s
    double a = 0.0; // mm/s², the drive's unsigned channel (not used for the figures)
    double c = 0.0; // 0.1 A
};

struct TravelFigures {
    static constexpr double None = std::numeric_limits<double>::quiet_NaN();

    // The window: the moving run plus the stationary sample on either side of it where
    // the segment has one, as indexes into the samples measured.
    qsizetype first = 0;
    qsizetype count = 0;
    bool complete = false; // stationary samples lie on both sides of the run

    double start = None;    // s, time of the first moving sample
    double flight = None;   // s
    double distance = None; // m
    double vmax = None;     // m/s
    double amax = None;     // m/s²
    double dmax = None;     // m/s²
    double jmax = None;     // m/s³
    double creep = None;    // s, at levelling speed before the stop
    double ipeak = None;    // A
    double irms = None;     // A
};

// A travel as the lists show it: its figures, the samples of its window and, for a
// travel seen live, the time of day it started (null for one read from a recording).
struct MeasuredTravel {
    QTime clock;
    TravelFigures figures; // first indexes `window`
    QList<RideSample> window;
};

namespace Ride {

constexpr double MovingSpeed = 10.0; // mm/s; slower is standing
constexpr double ShortestRun = 0.5;  // s; a shorter run is a blip, not a travel
constexpr double SlopeReach = 0.15;  // s either side of a sample for the derived slopes
constexpr int SlopeSamples = 3;      // fewest samples a slope is fitted through
constexpr double CreepFactor = 1.25; // above this many times V0 the car is not creeping

inline bool moving(const RideSample& s) {
    return s.v >= MovingSpeed;
}

// The figures of one window of `n` samples: `leading` / `trailing` say whether its first /
// last sample is the stationary sample bounding the run. The run must last at least
// ShortestRun for the result to count as a travel (measureTravels checks it).
TravelFigures measureWindow(const RideSample* window, qsizetype n, bool leading, bool trailing,
                            double v0);

// Every travel in `samples`, in order; `v0` is the levelling speed in m/s. A sample whose
// time does not advance starts a new segment, which no travel spans.
QList<TravelFigures> measureTravels(const RideSample* samples, qsizetype n, double v0);
inline QList<TravelFigures> measureTravels(const QList<RideSample>& samples, double v0) {
    return measureTravels(samples.constData(), samples.size(), v0);
}

// The derived acceleration (m/s²) at each sample of a window: the least-squares slope of
// the speed over the samples within SlopeReach, NaN where fewer than SlopeSamples lie there.
QList<double> derivedAcceleration(const RideSample* window, qsizetype n);

// The travels of a recording with their windows.
QList<MeasuredTravel> travelsIn(const QList<RideSample>& samples, double v0);

} // namespace Ride

// Finds travels one sample at a time, as the monitor takes them, and hands each over as
// soon as the stationary sample after it arrives, to be measured when there is time.
// Fed the same samples, it gives what Ride::measureTravels gives for the complete
// travels (and, through finish(), the rest).
class TravelFinder {
public:
    // A travel found but not yet measured: its window and how the window is bounded.
    struct Run {
        QList<RideSample> window;
        bool leading = false;  // the window starts with the stationary sample before it
        bool trailing = false; // ... and ends with the one after it
        MeasuredTravel measure(double v0) const;
    };

    // Takes one sample; returns true and fills `out` when it ended a travel.
    bool add(const RideSample& sample, Run* out);
    // The travel still under way (cut short at the end of the data), if any.
    bool finish(Run* out);
    void reset() {
        m_window.clear();
        m_leading = false;
    }

private:
    bool close(bool trailing, Run* out);
    // The stationary sample before the run (when there is one) and the run's samples.
    QList<RideSample> m_window;
    bool m_leading = false; // m_window starts with the stationary sample before the run
};
