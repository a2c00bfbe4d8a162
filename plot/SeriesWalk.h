#pragma once
#include "plot/PlotState.h"

namespace kalvex::plot {

// A slot stores no point count: its points are read from entry 0 for as long as the x
// values keep rising. The ranges stop at the first repeated x value, the drawing goes on
// through repeats (a burned fraction that stays at 1 after all-burnt is still drawn).
// Both return the index of the last entry used; entry 0 is always used.
int autoscaleWalkEnd(const PlotSeries& slot);  // while x[p + 1] > x[p]
int drawingWalkEnd(const PlotSeries& slot);    // while x[p + 1] >= x[p]

}  // namespace kalvex::plot
