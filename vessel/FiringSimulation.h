#pragma once
// A firing simulated with a propellant, and its samples set against a measured trace's: what
// the refinement of the law on the traces and the re-simulation of a reduction share.
#include "vessel/Reduction.h"
#include "vessel/VesselSimulation.h"

#include <vector>

namespace kalvex::vessel {

// The firing's vessel and charge fired with `propellant`, losing heat by `heatLoss`, every
// `step` recorded, until burnout plus `afterBurnout` and at least until `until` (s). Throws as
// simulateVessel.
VesselTrace simulateFiring(const Firing& firing, const BallisticInput& propellant, const VesselHeatLoss& heatLoss,
                           double step, double afterBurnout, double until = 0);

// The time a rising series first reaches `level` from sample `from` on, linear between
// samples; the last time when it never does.
double crossingTime(const std::vector<double>& t, const std::vector<double>& v, double level, std::size_t from = 0);

// The series at `at`, linear between samples, held at the first and last value outside them.
double interpolateAt(const std::vector<double>& t, const std::vector<double>& v, double at);

}  // namespace kalvex::vessel
