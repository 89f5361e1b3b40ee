#pragma once
// A travel as the drive measured it, ready to be laid over the simulated one.
#include <QList>
#include <limits>

struct MeasuredCurve {
    QList<double> t; // s from the start of motion
    QList<double> v; // m/s
    QList<double> a; // m/s², NaN where it could not be derived
    double flight = std::numeric_limits<double>::quiet_NaN(); // s
    double creep = std::numeric_limits<double>::quiet_NaN();  // s
};

// The command timing a measured travel shows, in s from the start of motion: the high
// speed held until the speed starts falling from its top, the low speed until it
// starts falling from creep to standstill. NaN where the travel does not show it.
struct CommandTiming {
    double highSpeedEnd = std::numeric_limits<double>::quiet_NaN();
    double lowSpeedEnd = std::numeric_limits<double>::quiet_NaN();
};
CommandTiming commandTiming(const MeasuredCurve& curve);
