#pragma once
// A measured travel as the travel page lays it over the simulated one: its window's
// samples in s from the start of motion, m/s and the derived acceleration.
#include "ride/TravelFigures.h"
#include "sim/MeasuredCurve.h"

namespace Ride {

MeasuredCurve curveOf(const MeasuredTravel& travel);

} // namespace Ride
