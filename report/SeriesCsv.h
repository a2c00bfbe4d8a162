#pragma once
// The 23 recorded series of one run as CSV: a header `name [unit]` from the series
// vocabulary, then one line per entry from ignition to the muzzle exit, a point as decimal
// separator whatever the locale. kalvex-batch --csv and the window's export write the same bytes.
// A mixed charge's run adds a column per component, its burned fraction (Z1, Z2, ...).
#include "core/results/RunResults.h"

#include <ostream>
#include <string>

namespace kalvex::report {

// The shortest text that reads back to the same double, with a point; "" for NaN.
std::string csvNumber(double value);

void writeSeriesCsv(std::ostream& out, const RunResults& completedRun);

}  // namespace kalvex::report
