#pragma once
// The reduction as JSON, for scripts and the library's record of where a row came from: the
// settings it ran with, each firing (its file, what was loaded, trim window, maximum, force
// and rate factor), the force and covolume, the law and the temperature coefficients. SI units.
#include "vessel/Reduction.h"
#include "vessel/Resimulation.h"

#include <nlohmann/json.hpp>

#include <vector>

namespace kalvex::vessel {

// The smoothing and trimming rules and the reduction's choices.
nlohmann::json reductionSettingsJson(const ReductionOptions& options);

nlohmann::json reductionJson(const std::vector<Firing>& firings, const ReductionOptions& options,
                             const VesselReduction& reduction, const std::vector<ResimulatedTrace>& resimulated);

}  // namespace kalvex::vessel
