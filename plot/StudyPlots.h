#pragma once
// The plots of a study window, drawn with the main window's plot: an output over a swept
// parameter, and the histogram of an output of a tolerance study with its limit.
#include "plot/PlotState.h"

#include <optional>
#include <vector>

namespace kalvex::plot {

// One curve per slot (at most kSlotCount): curves[i] is a list of (x, y) points; points with a
// NaN are left out (runs that failed) and the rest are drawn in order of x. Rescales, draws.
struct CurvePoints {
    std::vector<double> x, y;
};
void plotCurves(PlotState& plot, const std::vector<CurvePoints>& curves);

// The histogram of `values` (NaN left out) in `bins` classes over their range, drawn as the
// outline of its bars in slot 0; the limit, when given, as a vertical line in slot 1. The
// ranges take in the bars and the limit. Draws; an empty list leaves the slots inactive.
void plotHistogram(PlotState& plot, const std::vector<double>& values, int bins, std::optional<double> limit);

// The number of values in each of `bins` equal classes from the smallest to the largest
// value (the largest in the last class).
std::vector<int> histogramCounts(const std::vector<double>& values, int bins, double low, double high);

}  // namespace kalvex::plot
