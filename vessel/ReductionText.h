#pragma once
// The reduction as lines a person reads: each firing's trim window and maximum, the force and
// covolume, the law by segments, the temperature coefficients and the re-simulations' residuals.
#include "vessel/Reduction.h"
#include "vessel/Resimulation.h"

#include <string>
#include <vector>

namespace kalvex::vessel {

// `resimulated` pairs up with the firings (may be empty). Units: ms, MPa, kg/m^3, J/kg, m^3/kg.
std::string reductionText(const std::vector<Firing>& firings, const VesselReduction& reduction,
                          const std::vector<ResimulatedTrace>& resimulated);

}  // namespace kalvex::vessel
