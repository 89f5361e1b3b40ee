#pragma once
// The vertical scale at the right edge of the strip chart: which quantity it labels,
// its colour, its top value, the step between tick lines and how high a tick stands.
#include <QList>
#include <cstdint>

namespace ChartScale {

// Entries of the scale selector, in list order.
enum Entry { Speed = 0, Acceleration = 1, Current = 2 };

// Step between tick lines for a top value, by closed ranges: 0-500 gives 20, 501-1000
// 50, 1001-2000 100, 2001-4000 250, 4001-6000 500; anything else (also a value between
// two ranges, a negative one or none at all) 100.
double stepFor(double top);

struct Plan {
    bool valid = false;           // false: no entry selected, only a black axis line
    std::uint32_t rgb = 0x000000; // 0xRRGGBB
    double top = 0.0;             // T, in the quantity's scale units (thousandths)
    double step = 0.0;
    double factor = 1.0; // chart height per scale unit
};

// `speedTop` is the top speed in mm/s (the stored V3 times its scale), `ratedCurrent`
// the motor's rated current as a raw word (the stored value times its scale).
Plan plan(int entry, double speedTop, double ratedCurrent);

// Scale values of the tick lines: 0, step, 2 step, ... while below 1.1 times the top.
// Bounded, so a top value far beyond any real one cannot stall a tick.
QList<double> ticks(const Plan& plan);
constexpr int MaxTicks = 200;

} // namespace ChartScale
