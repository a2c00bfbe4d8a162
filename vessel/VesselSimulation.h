#pragma once
// The pressure in a closed vessel over time, computed by the interior ballistic model with
// the projectile held.
#include "vessel/VesselSetup.h"

#include <vector>

namespace kalvex::vessel {

// One firing's samples, SI units.
struct VesselTrace {
    std::vector<double> time;           // s
    std::vector<double> pressure;       // mean gas pressure, Pa
    std::vector<double> pressureRate;   // dp/dt, Pa/s (central differences of the samples)
    std::vector<double> burnedFraction; // Z
};

// From ignition until the charge is burned, then `afterBurnout` seconds more (the plateau a
// measured trace also shows), and at least until `until`. Throws std::runtime_error when the
// model fails or the charge does not burn out within `timeLimit`.
VesselTrace simulateVessel(const VesselSetup& setup, double afterBurnout = 1e-3, double timeLimit = 1.0,
                           double until = 0);

}  // namespace kalvex::vessel
