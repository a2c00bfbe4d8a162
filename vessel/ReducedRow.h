#pragma once
// The reduced values as a row of the propellant library, with the firings they came from.
#include "core/propellant/PropellantLibrary.h"
#include "vessel/Reduction.h"

#include <chrono>
#include <string>
#include <vector>

namespace kalvex::vessel {

// F, b and the law reduced, T0, gamma and rho of the propellant the reduction was given, the
// temperature coefficients when fitted; as the source a line naming the firings and the date,
// and the measurement: each firing's file with the SHA-256 of its bytes (`sha256` pairs up
// with `firings`), the date and the reduction's settings.
Propellant reducedPropellantRow(const std::string& name, const std::vector<Firing>& firings,
                                const std::vector<std::string>& sha256, const BallisticInput& propellant,
                                const ReductionOptions& options, const VesselReduction& reduction,
                                const std::string& date);

// "2026-12-08T00:10:00Z"
std::string isoDateUtc(std::chrono::system_clock::time_point when);

}  // namespace kalvex::vessel
