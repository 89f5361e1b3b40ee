#pragma once
// Made-up recordings of a car travelling between floors, for the tests and benchmarks of
// the measured travels: the car stands, accelerates along a smooth curve, runs at its top
// speed, slows to creep, creeps and stops, again and again, with ±1 mm/s of noise. Every
// value is rounded as the recording writes it (a single float, 7 significant digits).
#include "ride/TravelFigures.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <cmath>
#include <numbers>
#include <random>

namespace RideRecordings {

inline double written(double value) {
    return QString::number(float(value), 'g', 7).toDouble();
}

// `seconds` of samples at `rate` a second. Every `restartEvery` seconds (0: never) the
// times start again from 0, as when recording is paused and started again.
inline QList<RideSample> travels(double seconds, int rate, double restartEvery = 0.0,
                                 unsigned seed = 1) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    std::uniform_real_distribution<double> spread(0.0, 1.0);
    constexpr double top = 1600.0, creep = 60.0; // mm/s
    constexpr double ramp = 3.0, stop = 0.4;     // s
    QList<RideSample> out;
    const qsizetype n = qsizetype(seconds * rate);
    out.reserve(n);
    double cycleStart = 0.0, stand = 5.0, cruise = 2.0, creeping = 1.0, origin = 0.0;
    for (qsizetype k = 0; k < n; ++k) {
        const double now = double(k) / rate;
        if (restartEvery > 0.0 && now - origin >= restartEvery)
            origin = now;
        double u = now - cycleStart;
        const double length = stand + 2 * ramp + cruise + creeping + stop;
        if (u >= length) {
            cycleStart = now;
            stand = 4.0 + 4.0 * spread(random);
            cruise = 0.5 + 4.0 * spread(random);
            creeping = 0.6 + 1.5 * spread(random);
            u = 0.0;
        }
        const auto ease = [](double x) { return (1.0 - std::cos(std::numbers::pi * x)) / 2.0; };
        double v = 0.0;
        double a = 0.0;
        if ((u -= stand) < 0.0) {
        } else if (u < ramp) {
            v = top * ease(u / ramp);
            a = top * std::numbers::pi / (2 * ramp) * std::sin(std::numbers::pi * u / ramp);
        } else if ((u -= ramp) < cruise) {
            v = top;
        } else if ((u -= cruise) < ramp) {
            v = top - (top - creep) * ease(u / ramp);
            a = (top - creep) * std::numbers::pi / (2 * ramp) *
                std::sin(std::numbers::pi * u / ramp);
        } else if ((u -= ramp) < creeping) {
            v = creep;
        } else if ((u -= creeping) < stop) {
            v = creep * (1.0 - ease(u / stop));
        }
        if (v > 0.0)
            v = std::max(0.0, v + noise(random));
        const double current = v > 0.0 ? 120.0 + 60.0 * v / top + 0.1 * a : 0.0;
        out.append({written(now - origin), written(std::round(v)), written(std::round(a)),
                    written(std::round(current))});
    }
    return out;
}

// The samples as the program's export writes them: UTF-8 with a byte order mark, the
// header, "; " between the fields, `decimal` as the decimal separator, CR LF.
inline QByteArray csv(const QList<RideSample>& samples, QChar decimal,
                      const QString& titles = QStringLiteral("Hız; İvme; Motor Akımı")) {
    QByteArray out("\xEF\xBB\xBF");
    out += (QStringLiteral("T; ") + titles + QStringLiteral("; \r\n")).toUtf8();
    const auto text = [decimal](double x) {
        QString s = QString::number(float(x), 'G', 7);
        return s.replace(QLatin1Char('.'), decimal).toLatin1();
    };
    for (const RideSample& s : samples)
        out += text(s.t) + "; " + text(s.v) + "; " + text(s.a) + "; " + text(s.c) + "\r\n";
    return out;
}

// Writes `bytes` to `path` whole.
inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace RideRecordings
