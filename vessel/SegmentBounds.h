#pragma once
// The pressures at which a burning law's segments meet, found from the rate points themselves
// when the user gives none.
#include "vessel/BurningRate.h"

#include <vector>

namespace kalvex::vessel {

// Lower bounds (Pa) of `count` segments, the first 0, that minimise the sum of the squared
// residuals of the segments' log-linear fits (fitBurningLaw) over the points. The inner bounds
// are searched in log p between the lowest and highest point, globally by NLopt's DIRECT-L
// and then polished by its Nelder-Mead simplex; a placement that leaves a segment fewer than
// `minimumPoints` points is refused. Throws std::invalid_argument when the points cannot hold
// `count` segments of `minimumPoints` each.
std::vector<double> findSegmentBounds(const std::vector<RatePoint>& points, int count, int minimumPoints = 10);

}  // namespace kalvex::vessel
