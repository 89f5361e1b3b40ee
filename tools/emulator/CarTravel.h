#pragma once
// A lift travel for the virtual drive's monitor frames, computed by the program's own
// travel model from the parameters the drive holds, so the live monitor shows the
// speed and acceleration curves a real car would draw.
#include <QList>
#include <QString>
#include <array>
#include <cstdint>

struct CarSample {
    float v; // m/s
    float a; // m/s²
};

namespace CarTravel {

constexpr double SampleEvery = 0.01; // s
constexpr float Duration = 15.0f;    // s, the model's default travel

// One travel from the drive's words and the identifiers and scales of the definition
// file `definitions`. Empty when the file cannot be read or the model refuses the run.
QList<CarSample> fromModel(const std::array<std::uint16_t, 128>& words, const QString& definitions);

} // namespace CarTravel
