#pragma once
// A lift travel for the virtual drive's monitor frames. The program's own travel model
// gives the speed the drive commands from the parameters it holds; a real car follows
// that command through its speed loop, a little late, with some noise on the measured
// speed, creeping longer at levelling speed than the model says, and drawing more
// current lifting its load than lowering it. The monitor and the measured travels then
// show what a technician would see on a real lift.
#include <QList>
#include <QString>
#include <array>
#include <cstdint>

struct CarSample {
    float v;          // m/s
    float a;          // m/s²
    float upAmps = 0; // motor current, A, on a trip up
    float downAmps = 0;
};

namespace CarTravel {

constexpr double SampleEvery = 0.01; // s
constexpr float Duration = 15.0f;    // s, the model's default travel

// How the real car departs from the command.
struct Car {
    double lag = 0.15;    // s, time constant of the speed loop (0: none)
    double creep = 0.4;   // s of levelling added before the stop
    double noise = 0.001; // m/s either way on the measured speed while moving
    std::uint32_t seed = 1;
};

// One travel from the drive's words and the identifiers and scales of the definition
// file `definitions`, as `car` runs it. Empty when the file cannot be read or the model
// refuses the run.
QList<CarSample> fromModel(const std::array<std::uint16_t, 128>& words, const QString& definitions,
                           const Car& car = {});

// The car's travel for the commanded speeds `command` (samples every SampleEvery, v0
// the levelling speed in m/s): the extra creep inserted where the command leaves the
// levelling speed, the speed lagging behind, the car at rest once the lag has settled.
QList<CarSample> follow(const QList<CarSample>& command, double v0, const Car& car);

} // namespace CarTravel
