#pragma once
// The plots of a study window, drawn with the main window's plot: an output over a swept
// parameter, the histogram of an output of a tolerance study with its limit, and the
// sensitivity indices of an output as bars.
#include "plot/PlotState.h"

#include <optional>
#include <string>
#include <vector>

namespace kalvex::plot {

// One curve per slot (at most kSlotCount): curves[i] is a list of (x, y) points; points with a
// NaN are left out (runs that failed) and the rest are drawn in order of x. Rescales, draws.
struct CurvePoints {
    std::vector<double> x, y;
    std::string name;      // for the legend
    bool markers = false;  // measured values: markers, no line
};
void plotCurves(PlotState& plot, const std::vector<CurvePoints>& curves);

// The histogram of `values` (NaN left out) in `bins` classes over their range, drawn as the
// outline of its bars in slot 0; the limit, when given, as a vertical line in slot 1. The
// ranges take in the bars and the limit. Draws; an empty list leaves the slots inactive.
void plotHistogram(PlotState& plot, const std::vector<double>& values, int bins, std::optional<double> limit);

// The first-order and total indices of each parameter as bars side by side: parameter i at
// x = i + 1, its first-order index as a bar left of it (slot 0) and its total index right of
// it (slot 1), each slot the outline of its bars. NaN indices draw no bar. The y range takes
// in 0, 1 and every bar. Draws.
void plotIndexBars(PlotState& plot, const std::vector<double>& first, const std::vector<double>& total);

// The number of values in each of `bins` equal classes from the smallest to the largest
// value (the largest in the last class).
std::vector<int> histogramCounts(const std::vector<double>& values, int bins, double low, double high);

}  // namespace kalvex::plot
