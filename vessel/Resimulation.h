#pragma once
// A firing simulated again with the reduced values, beside its measured trace: how well the
// fitted law reproduces what was measured.
#include "vessel/Reduction.h"

#include <vector>

namespace kalvex::vessel {

struct ResimulatedTrace {
    std::vector<double> time;       // s, the measured samples from the trim start to its end
    std::vector<double> measured;   // Pa, as read
    std::vector<double> simulated;  // Pa, the simulation at the same times
    std::vector<double> residual;   // measured - simulated, Pa
    double shift = 0;  // s added to the simulation's clock (ignition is not at the trace's zero)
    double rmsResidual = 0;  // Pa
};

// The firing simulated with F, b and the law reduced (at its charge temperature through the
// fitted coefficients), its clock shifted so that it crosses half the measured maximum when
// the smoothed measured trace does. `index` is the firing's place in the reduction.
ResimulatedTrace resimulateFiring(const std::vector<Firing>& firings, std::size_t index,
                                  const VesselReduction& reduction, const BallisticInput& propellant);

}  // namespace kalvex::vessel
