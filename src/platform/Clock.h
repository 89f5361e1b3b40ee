#pragma once
// Time sources behind an interface so waits and time-outs run on a fake clock in tests.
#include <QElapsedTimer>
#include <QTime>

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds on a monotonic clock with an arbitrary origin; only differences count.
    virtual double monotonicSeconds() const = 0;
    // Wall-clock seconds since local midnight, with sub-second resolution.
    virtual double secondsSinceMidnight() const = 0;
};

class SystemClock final : public Clock {
public:
    SystemClock() { m_timer.start(); }
    double monotonicSeconds() const override { return double(m_timer.nsecsElapsed()) * 1e-9; }
    double secondsSinceMidnight() const override {
        return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
    }

private:
    QElapsedTimer m_timer;
};

// A clock that only moves when told to.
class ManualClock final : public Clock {
public:
    double monotonicSeconds() const override { return m_now; }
    double secondsSinceMidnight() const override { return m_midnightOffset + m_now; }
    void advance(double seconds) { m_now += seconds; }
    void setMidnightOffset(double seconds) { m_midnightOffset = seconds; }

private:
    double m_now = 0.0;
    double m_midnightOffset = 0.0;
};
